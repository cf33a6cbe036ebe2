#include "gui/layout/MessageBoxW.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <string>

#include "framework/base/Pooled.h"
#include "framework/str/Utf8.h"
#include "gui/drawer/TextLayout.h"
#include "gui/layout/OwnedWindow.h"
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

// What a box shows: icon, text and buttons, painted and pressed as one component.
class BoxFace final : public Pooled<BoxFace, Component> {
 public:
  void setContent(std::u16string text, MessageBoxW::Icon icon,
                  std::vector<std::u16string_view> labels) {
    text_ = std::move(text);
    icon_ = icon;
    labels_ = std::move(labels);
  }
  const std::u16string& text() const { return text_; }
  void setTextHeight(std::int32_t height) { textHeight_ = height; }
  // The buttons from the left, in the face's coordinates.
  std::array<Rect, 3>& buttons() { return buttons_; }
  std::size_t buttonCount() const { return labels_.size(); }
  // The chosen button, -1 until one is.
  int answer() const { return answer_; }
  void choose(int button) { answer_ = button; }

  void paint(cairo_t* cr) override {
    Component::paint(cr);
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
  }

  bool handleInput(const Event& event, std::int32_t x, std::int32_t y) override {
    if (event.button != 1) {
      return false;
    }
    if (event.kind == EventKind::kButtonPress) {
      pressed_ = buttonAt(x, y);
      host()->setCapture(this);
      invalidate();
      return true;
    }
    if (event.kind == EventKind::kButtonRelease) {
      if (pressed_ >= 0 && buttonAt(x, y) == pressed_) {
        answer_ = pressed_;
      }
      pressed_ = -1;
      host()->releaseCapture(this);
      invalidate();
      return true;
    }
    return false;
  }

  void captureLost() override {
    pressed_ = -1;
    invalidate();
  }

  void reset() override {
    Component::reset();
    text_.clear();
    labels_.clear();
    buttons_ = {};
    textHeight_ = 0;
    pressed_ = -1;
    answer_ = -1;
  }
  std::u16string_view className() const override { return u"s_gui_win_MessageBoxFace"; }

 private:
  static std::int32_t px(std::int32_t length) { return DesktopScale::px(length); }

  int buttonAt(std::int32_t x, std::int32_t y) const {
    for (std::size_t i = 0; i < labels_.size(); ++i) {
      const Rect& b = buttons_[i];
      if (x >= b.x && y >= b.y && x < b.x + b.width && y < b.y + b.height) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }

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

  std::u16string text_;
  MessageBoxW::Icon icon_ = MessageBoxW::Icon::kInformation;
  std::vector<std::u16string_view> labels_;
  std::array<Rect, 3> buttons_{};
  std::int32_t textHeight_ = 0;
  int pressed_ = -1;
  int answer_ = -1;
};

// One box on the screen, a modal dialog owned by the window, and its nested loop: the
// owner keeps painting and serving other threads while its input waits.
class ModalBox final : public events::IEventListener {
 public:
  ModalBox(Window& owner, std::string_view title, std::string_view text, MessageBoxW::Icon icon,
           MessageBoxW::Buttons buttons)
      : owner_(owner), title_(title.empty() ? owner.title() : std::string(title)) {
    std::vector<std::u16string_view> labels;
    switch (buttons) {
      case MessageBoxW::Buttons::kOk:
        labels = {u"OK"};
        break;
      case MessageBoxW::Buttons::kYesNo:
        labels = {u"Yes", u"No"};
        break;
      case MessageBoxW::Buttons::kYesNoCancel:
        labels = {u"Yes", u"No", u"Cancel"};
        break;
    }
    face_ = BoxFace::take();
    face_->setContent(utf16(text), icon, std::move(labels));
    box_->add(face_);
  }
  ModalBox(const ModalBox&) = delete;
  ModalBox& operator=(const ModalBox&) = delete;

  int run() {
    if (!open()) {
      return -1;
    }
    owner_.runNestedLoop([this] { return face_->answer() >= 0 || !box_->isOpen(); });
    return face_->answer() < 0 ? last() : face_->answer();
  }

  // The box's keys and its close button.
  void onEvent(IObject* /*source*/, std::int32_t code) override {
    if (code == kWindowClosing) {
      face_->choose(last());
      return;
    }
    const std::uint32_t key = box_->lastInput().keysym;
    if (key == kKeyReturn || key == kKeyEnter) {
      face_->choose(0);
    } else if (key == kKeyEscape) {
      face_->choose(last());
    }
  }

 private:
  static std::int32_t px(std::int32_t length) { return DesktopScale::px(length); }
  int last() const { return static_cast<int>(face_->buttonCount()) - 1; }

  bool open() {
    platform::ui::IDisplay& display = *owner_.display();
    // The window's size depends on the text.
    const TextLayout::Size text = TextLayout::measure(face_->text(), nullptr, px(kTextWidth));
    const auto count = static_cast<std::int32_t>(face_->buttonCount());
    const std::int32_t buttonsWidth = count * px(kButtonWidth) + (count - 1) * px(kButtonGap);
    const std::int32_t width =
        std::max({px(kMinWidth), 3 * px(kMargin) + px(kIconSize) + text.width,
                  2 * px(kMargin) + buttonsWidth});
    const std::int32_t top = px(kMargin) + std::max(px(kIconSize), text.height) + px(kMargin);
    const std::int32_t height = top + px(kButtonHeight) + px(kMargin);
    face_->setTextHeight(text.height);
    std::int32_t x = (width - buttonsWidth) / 2;
    for (std::int32_t i = 0; i < count; ++i) {
      face_->buttons()[static_cast<std::size_t>(i)] = {x, top, px(kButtonWidth), px(kButtonHeight)};
      x += px(kButtonWidth) + px(kButtonGap);
    }
    face_->setMinSize(width, height);
    face_->setNaturalSize(width, height);
    // Over the owner, or in the middle of the screen when it has no platform window.
    const Rect ownerBounds = owner_.platformWindow() != 0
                                 ? display.bounds(owner_.platformWindow())
                                 : Rect{0, 0, display.screenWidth(), display.screenHeight()};
    const std::int32_t left = std::clamp(ownerBounds.x + (ownerBounds.width - width) / 2, 0,
                                         std::max(0, display.screenWidth() - width));
    const std::int32_t upper = std::clamp(ownerBounds.y + (ownerBounds.height - height) / 2, 0,
                                          std::max(0, display.screenHeight() - height));
    if (!box_->open(owner_, {.kind = platform::ui::WindowKind::kDialog,
                             .bounds = {left, upper, width, height},
                             .positioned = true,
                             .title = title_})) {
      return false;
    }
    display.setSizeLimits(box_->platformWindow(), width, height, width, height);
    box_->addListener(kWindowKey, this);
    box_->addListener(kWindowClosing, this);
    box_->setModal(true);
    box_->show(true);
    return true;
  }

  Window& owner_;
  std::string title_;
  PoolPtr<OwnedWindow> box_ = OwnedWindow::make();
  BoxFace* face_ = nullptr;
};

}  // namespace

int MessageBoxW::show(Window& owner, std::string_view text, Icon icon, Buttons buttons,
                      std::string_view title) {
  int answer = -1;
  owner.runSync([&] {
    if (owner.display() != nullptr) {
      ModalBox box(owner, title, text, icon, buttons);
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
