#include "gui/layout/MessageBoxW.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <string>

#include "framework/str/Utf8.h"
#include "gui/drawer/TextLayout.h"
#include "gui/layout/Window.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::win {

using drawer::TextLayout;
using platform::ui::DesktopScale;
using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::Rect;

namespace {

// Lengths at 96 dpi.
constexpr std::int32_t kMargin = 16;
constexpr std::int32_t kIconSize = 32;
constexpr std::int32_t kTextWidth = 360;
constexpr std::int32_t kButtonWidth = 80;
constexpr std::int32_t kButtonHeight = 26;
constexpr std::int32_t kButtonGap = 8;
constexpr std::int32_t kMinWidth = 200;
constexpr double kIconPoints = 16;
constexpr std::uint32_t kKeyReturn = 0xFF0D;
constexpr std::uint32_t kKeyEnter = 0xFF8D;
constexpr std::uint32_t kKeyEscape = 0xFF1B;

std::u16string utf16(std::string_view text) {
  std::u16string out(text.size(), u'\0');
  out.resize(str::utf8::decode(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                               out.data()));
  return out;
}

// One box on the screen and the nested loop's sink: its own window's events answer it, the
// owner's input waits, everything else goes on to the owner.
class ModalBox final : public platform::ui::IEventSink {
 public:
  ModalBox(Window& owner, std::string_view text, MessageBoxW::Icon icon,
           MessageBoxW::Buttons buttons)
      : owner_(owner), display_(*owner.display()), text_(utf16(text)), icon_(icon) {
    switch (buttons) {
      case MessageBoxW::Buttons::kOk:
        labels_ = {u"OK"};
        break;
      case MessageBoxW::Buttons::kYesNo:
        labels_ = {u"Yes", u"No"};
        break;
      case MessageBoxW::Buttons::kYesNoCancel:
        labels_ = {u"Yes", u"No", u"Cancel"};
        break;
    }
  }
  ~ModalBox() override {
    if (id_ != 0) {
      display_.destroyWindow(id_);
    }
  }
  ModalBox(const ModalBox&) = delete;
  ModalBox& operator=(const ModalBox&) = delete;

  int run() {
    if (!open()) {
      return -1;
    }
    while (answer_ < 0 && !owner_.isStopping()) {
      display_.dispatch(*this, -1);
    }
    return answer_ < 0 ? static_cast<int>(labels_.size()) - 1 : answer_;
  }

  void onPlatformEvent(const Event& event) override {
    if (event.window == id_ && id_ != 0) {
      handle(event);
      return;
    }
    const bool input = event.kind == EventKind::kButtonPress ||
                       event.kind == EventKind::kButtonRelease ||
                       event.kind == EventKind::kMotion || event.kind == EventKind::kWheel ||
                       event.kind == EventKind::kKeyPress || event.kind == EventKind::kKeyRelease;
    if (input && event.window == owner_.platformWindow()) {
      return;
    }
    owner_.onPlatformEvent(event);
  }

 private:
  bool open() {
    // The window's size depends on the text.
    const TextLayout::Size text = TextLayout::measure(text_, nullptr, px(kTextWidth));
    textWidth_ = text.width;
    textHeight_ = text.height;
    const auto count = static_cast<std::int32_t>(labels_.size());
    const std::int32_t buttonsWidth = count * px(kButtonWidth) + (count - 1) * px(kButtonGap);
    const std::int32_t width =
        std::max({px(kMinWidth), 3 * px(kMargin) + px(kIconSize) + textWidth_,
                  2 * px(kMargin) + buttonsWidth});
    const std::int32_t top = px(kMargin) + std::max(px(kIconSize), textHeight_) + px(kMargin);
    const std::int32_t height = top + px(kButtonHeight) + px(kMargin);
    std::int32_t x = (width - buttonsWidth) / 2;
    for (std::int32_t i = 0; i < count; ++i) {
      buttons_[static_cast<std::size_t>(i)] = {x, top, px(kButtonWidth), px(kButtonHeight)};
      x += px(kButtonWidth) + px(kButtonGap);
    }
    const Rect ownerBounds = display_.bounds(owner_.platformWindow());
    const std::int32_t left = std::clamp(ownerBounds.x + (ownerBounds.width - width) / 2, 0,
                                         std::max(0, display_.screenWidth() - width));
    const std::int32_t upper = std::clamp(ownerBounds.y + (ownerBounds.height - height) / 2, 0,
                                          std::max(0, display_.screenHeight() - height));
    id_ = display_.createWindow({.kind = platform::ui::WindowKind::kDialog,
                                 .owner = owner_.platformWindow(),
                                 .bounds = {left, upper, width, height},
                                 .positioned = true,
                                 .title = owner_.title()});
    if (id_ == 0) {
      return false;
    }
    display_.setSizeLimits(id_, width, height, width, height);
    paint();
    display_.show(id_, true);
    return true;
  }

  static std::int32_t px(std::int32_t length) { return DesktopScale::px(length); }

  void paintIcon(cairo_t* cr) const {
    const double margin = px(kMargin);
    const double size = px(kIconSize);
    const double c = margin + size / 2.0;
    const char* glyph = "i";
    switch (icon_) {
      case MessageBoxW::Icon::kInformation:
        cairo_set_source_rgb(cr, 0.16, 0.38, 0.78);
        break;
      case MessageBoxW::Icon::kQuestion:
        cairo_set_source_rgb(cr, 0.16, 0.38, 0.78);
        glyph = "?";
        break;
      case MessageBoxW::Icon::kError:
        cairo_set_source_rgb(cr, 0.80, 0.12, 0.12);
        glyph = "×";
        break;
      case MessageBoxW::Icon::kWarning:
        cairo_set_source_rgb(cr, 0.93, 0.71, 0.05);
        glyph = "!";
        break;
    }
    if (icon_ == MessageBoxW::Icon::kWarning) {
      cairo_move_to(cr, c, margin);
      cairo_line_to(cr, margin + size, margin + size);
      cairo_line_to(cr, margin, margin + size);
      cairo_close_path(cr);
    } else {
      cairo_arc(cr, c, c, size / 2.0, 0, 2 * G_PI);
    }
    cairo_fill(cr);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("Sans Bold");
    pango_font_description_set_absolute_size(
        font, kIconPoints * DesktopScale::dpi() / 72.0 * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, glyph, -1);
    int w = 0;
    int h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    const bool dark = icon_ == MessageBoxW::Icon::kWarning;
    cairo_set_source_rgb(cr, dark ? 0 : 1, dark ? 0 : 1, dark ? 0 : 1);
    cairo_move_to(cr, c - w / 2.0, c - h / 2.0 + (dark ? px(4) : 0));
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
  }

  void paint() {
    cairo_surface_t* surface = display_.backBuffer(id_);
    if (surface == nullptr) {
      return;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 240 / 255.0, 240 / 255.0, 240 / 255.0);
    cairo_paint(cr);
    paintIcon(cr);
    TextLayout::paint(
        cr,
        {2 * px(kMargin) + px(kIconSize),
         px(kMargin) + std::max(0, (px(kIconSize) - textHeight_) / 2), px(kTextWidth), textHeight_},
        text_, nullptr, 0x000000, TextLayout::kLeft, true);
    for (std::size_t i = 0; i < labels_.size(); ++i) {
      const Rect& b = buttons_[i];
      const bool down = static_cast<int>(i) == pressed_;
      cairo_set_source_rgb(cr, down ? 0.80 : 0.92, down ? 0.80 : 0.92, down ? 0.80 : 0.92);
      cairo_rectangle(cr, b.x, b.y, b.width, b.height);
      cairo_fill(cr);
      // The default button (Return) has the heavier frame.
      const double line = DesktopScale::line() * (i == 0 ? 2 : 1);
      cairo_set_line_width(cr, line);
      cairo_set_source_rgb(cr, 0.45, 0.45, 0.45);
      cairo_rectangle(cr, b.x + line / 2, b.y + line / 2, b.width - line, b.height - line);
      cairo_stroke(cr);
      TextLayout::paint(cr, b, labels_[i], nullptr, 0x000000, TextLayout::kCenter, false);
    }
    cairo_destroy(cr);
    const Rect all = display_.bounds(id_);
    display_.present(id_, {0, 0, all.width, all.height});
  }

  int buttonAt(std::int32_t x, std::int32_t y) const {
    for (std::size_t i = 0; i < labels_.size(); ++i) {
      const Rect& b = buttons_[i];
      if (x >= b.x && y >= b.y && x < b.x + b.width && y < b.y + b.height) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }

  void handle(const Event& event) {
    const int last = static_cast<int>(labels_.size()) - 1;
    switch (event.kind) {
      case EventKind::kButtonPress:
        if (event.button == 1) {
          pressed_ = buttonAt(event.x, event.y);
          paint();
        }
        break;
      case EventKind::kButtonRelease:
        if (event.button == 1 && pressed_ >= 0) {
          if (buttonAt(event.x, event.y) == pressed_) {
            answer_ = pressed_;
          }
          pressed_ = -1;
          paint();
        }
        break;
      case EventKind::kKeyPress:
        if (event.keysym == kKeyReturn || event.keysym == kKeyEnter) {
          answer_ = 0;
        } else if (event.keysym == kKeyEscape) {
          answer_ = last;
        }
        break;
      case EventKind::kCloseRequest:
        answer_ = last;
        break;
      case EventKind::kMap:
        paint();
        break;
      default:
        break;
    }
  }

  Window& owner_;
  platform::ui::IDisplay& display_;
  std::u16string text_;
  MessageBoxW::Icon icon_;
  std::vector<std::u16string_view> labels_;
  std::array<Rect, 3> buttons_{};
  std::int32_t textWidth_ = 0;
  std::int32_t textHeight_ = 0;
  platform::ui::WindowId id_ = 0;
  int pressed_ = -1;
  int answer_ = -1;
};

}  // namespace

int MessageBoxW::show(Window& owner, std::string_view text, Icon icon, Buttons buttons) {
  int answer = -1;
  owner.runSync([&] {
    if (owner.display() != nullptr) {
      ModalBox box(owner, text, icon, buttons);
      answer = box.run();
    }
  });
  return answer;
}

void MessageBoxW::info(Window& owner, std::string_view text) {
  show(owner, text, Icon::kInformation, Buttons::kOk);
}

void MessageBoxW::warning(Window& owner, std::string_view text) {
  show(owner, text, Icon::kWarning, Buttons::kOk);
}

void MessageBoxW::error(Window& owner, std::string_view text) {
  show(owner, text, Icon::kError, Buttons::kOk);
}

bool MessageBoxW::askYesNo(Window& owner, std::string_view text) {
  return show(owner, text, Icon::kQuestion, Buttons::kYesNo) == 0;
}

bool MessageBoxW::askYesNoCancel(Window& owner, std::string_view text, bool& yes) {
  const int answer = show(owner, text, Icon::kQuestion, Buttons::kYesNoCancel);
  yes = answer == 0;
  return answer == 0 || answer == 1;
}

}  // namespace s::gui::win
