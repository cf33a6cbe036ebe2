#include "gui/layout/MessageBoxW.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <string>

#include "gui/layout/Window.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::Rect;

namespace {

constexpr std::int32_t kMargin = 16;
constexpr std::int32_t kIconSize = 32;
constexpr std::int32_t kTextWidth = 360;
constexpr std::int32_t kButtonWidth = 80;
constexpr std::int32_t kButtonHeight = 26;
constexpr std::int32_t kButtonGap = 8;
constexpr std::int32_t kMinWidth = 200;
constexpr std::uint32_t kKeyReturn = 0xFF0D;
constexpr std::uint32_t kKeyEnter = 0xFF8D;
constexpr std::uint32_t kKeyEscape = 0xFF1B;
constexpr const char* kFont = "Sans 10";

// One box on the screen and the nested loop's sink: its own window's events answer it, the
// owner's input waits, everything else goes on to the owner.
class ModalBox final : public platform::ui::IEventSink {
 public:
  ModalBox(Window& owner, std::string_view text, MessageBoxW::Icon icon,
           MessageBoxW::Buttons buttons)
      : owner_(owner), display_(*owner.display()), text_(text), icon_(icon) {
    switch (buttons) {
      case MessageBoxW::Buttons::kOk:
        labels_ = {"OK"};
        break;
      case MessageBoxW::Buttons::kYesNo:
        labels_ = {"Yes", "No"};
        break;
      case MessageBoxW::Buttons::kYesNoCancel:
        labels_ = {"Yes", "No", "Cancel"};
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
  PangoLayout* makeLayout(cairo_t* cr) const {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(kFont);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_width(layout, kTextWidth * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_text(layout, text_.data(), static_cast<int>(text_.size()));
    return layout;
  }

  bool open() {
    // Measured on a scratch surface: the window's size depends on the text.
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    PangoLayout* layout = makeLayout(cr);
    pango_layout_get_pixel_size(layout, &textWidth_, &textHeight_);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);

    const auto count = static_cast<std::int32_t>(labels_.size());
    const std::int32_t buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    const std::int32_t width =
        std::max({kMinWidth, 3 * kMargin + kIconSize + textWidth_, 2 * kMargin + buttonsWidth});
    const std::int32_t top = kMargin + std::max(kIconSize, textHeight_) + kMargin;
    const std::int32_t height = top + kButtonHeight + kMargin;
    std::int32_t x = (width - buttonsWidth) / 2;
    for (std::int32_t i = 0; i < count; ++i) {
      buttons_[static_cast<std::size_t>(i)] = {x, top, kButtonWidth, kButtonHeight};
      x += kButtonWidth + kButtonGap;
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

  void paintIcon(cairo_t* cr) const {
    const double c = kMargin + kIconSize / 2.0;
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
      cairo_move_to(cr, c, kMargin);
      cairo_line_to(cr, kMargin + kIconSize, kMargin + kIconSize);
      cairo_line_to(cr, kMargin, kMargin + kIconSize);
      cairo_close_path(cr);
    } else {
      cairo_arc(cr, c, c, kIconSize / 2.0, 0, 2 * G_PI);
    }
    cairo_fill(cr);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("Sans Bold 16");
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, glyph, -1);
    int w = 0;
    int h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    const bool dark = icon_ == MessageBoxW::Icon::kWarning;
    cairo_set_source_rgb(cr, dark ? 0 : 1, dark ? 0 : 1, dark ? 0 : 1);
    cairo_move_to(cr, c - w / 2.0, c - h / 2.0 + (dark ? 4 : 0));
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
    PangoLayout* layout = makeLayout(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, 2 * kMargin + kIconSize,
                  kMargin + std::max(0, (kIconSize - textHeight_) / 2));
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    for (std::size_t i = 0; i < labels_.size(); ++i) {
      const Rect& b = buttons_[i];
      const bool down = static_cast<int>(i) == pressed_;
      cairo_set_source_rgb(cr, down ? 0.80 : 0.92, down ? 0.80 : 0.92, down ? 0.80 : 0.92);
      cairo_rectangle(cr, b.x, b.y, b.width, b.height);
      cairo_fill(cr);
      // The default button (Return) has the heavier frame.
      cairo_set_line_width(cr, i == 0 ? 2 : 1);
      cairo_set_source_rgb(cr, 0.45, 0.45, 0.45);
      cairo_rectangle(cr, b.x + 0.5, b.y + 0.5, b.width - 1, b.height - 1);
      cairo_stroke(cr);
      PangoLayout* label = pango_cairo_create_layout(cr);
      PangoFontDescription* font = pango_font_description_from_string(kFont);
      pango_layout_set_font_description(label, font);
      pango_font_description_free(font);
      pango_layout_set_text(label, labels_[i].c_str(), -1);
      int w = 0;
      int h = 0;
      pango_layout_get_pixel_size(label, &w, &h);
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_move_to(cr, b.x + (b.width - w) / 2.0, b.y + (b.height - h) / 2.0);
      pango_cairo_show_layout(cr, label);
      g_object_unref(label);
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
  std::string text_;
  MessageBoxW::Icon icon_;
  std::vector<std::string> labels_;
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
