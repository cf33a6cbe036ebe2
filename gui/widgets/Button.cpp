#include "gui/widgets/Button.h"

#include <algorithm>
#include <cstdio>

#include "framework/lang/Localizer.h"
#include "gui/drawer/button/Basic.h"
#include "gui/widgets/Skinned.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;

Button::Button() {
  setTransparent(false);
}

void Button::reset() {
  Component::reset();
  setTransparent(false);
  text_.clear();
  textId_ = -1;
  normal_.reset();
  disabled_.reset();
  pressedFont_.reset();
  followsParent_ = clickable_ = releasable_ = drawFlag_ = true;
  toggle_ = invertLook_ = drawFlag2_ = pressed_ = isDefault_ = autoRepeat_ = false;
  hotState_ = 0;
  held_ = cursorInside_ = false;
  drawer_.reset();
  clicks_.clear();
  toggles_.clear();
  presses_.clear();
}

Button* Button::newButtonText(std::u16string_view text, std::int32_t fixedWidth,
                              std::int32_t fixedHeight) {
  Button* button = take();
  button->setText(text);
  if (fixedWidth >= 0) {
    button->setFixedWidth(fixedWidth);
  }
  if (fixedHeight >= 0) {
    button->setFixedHeight(fixedHeight);
  }
  return button;
}

Button* Button::newButtonId(std::int32_t textId, std::int32_t widthPercent,
                            std::int32_t fixedHeight) {
  Button* button = take();
  button->setTextId(textId);
  if (widthPercent >= 0) {
    button->setWidthPercent(widthPercent);
  }
  if (fixedHeight >= 0) {
    button->setFixedHeight(fixedHeight);
  }
  return button;
}

drawer::IButton* Button::buttonDrawer() {
  if (drawer_.get() != nullptr) {
    return drawer_.get();
  }
  drawer::ISkin* skin = skinOf(*this);
  if (skin != nullptr && skin->getButton() != nullptr) {
    return skin->getButton();
  }
  return nullptr;
}

void Button::setText(std::u16string_view text) {
  runSync([&] {
    if (text == text_) {
      return;
    }
    text_ = text;
    const drawer::TextLayout::Size size = drawer::TextLayout::measure(text_, &normal_, 0);
    // Room for the frame around the caption.
    const std::int32_t width = size.width + platform::ui::DesktopScale::px(8);
    const std::int32_t height = size.height + platform::ui::DesktopScale::px(6);
    setMinSize(width, height);
    setNaturalSize(width, height);
    relayoutParent();
    invalidate();
  });
}

void Button::setTextId(std::int32_t id) {
  runSync([&] {
    textId_ = id;
    lang::Localizer* localizer = localizerOf(*this);
    setText(localizer != nullptr && id != -1 ? localizer->text(id) : std::u16string_view());
  });
}

template <class Change>
void Button::changeFonts(Change change) {
  runSync([&] {
    for (Font* font : {&normal_, &disabled_, &pressedFont_}) {
      change(*font);
    }
    const std::u16string text = std::move(text_);
    text_.clear();
    setText(text);
  });
}

void Button::setSizeCode(std::int32_t code) {
  changeFonts([code](Font& f) { f.setSizeCode(code); });
}
void Button::setFace(std::u16string_view name) {
  changeFonts([name](Font& f) { f.setFace(name); });
}
void Button::setPointSize(std::int32_t points) {
  changeFonts([points](Font& f) { f.setPointSize(points); });
}
void Button::setFontHeight(std::int32_t height) {
  changeFonts([height](Font& f) { f.setHeight(height); });
}
void Button::setBold(bool bold) {
  changeFonts([bold](Font& f) { f.setBold(bold); });
}
void Button::setItalic(bool italic) {
  changeFonts([italic](Font& f) { f.setItalic(italic); });
}
void Button::setUnderline(bool underline) {
  changeFonts([underline](Font& f) { f.setUnderline(underline); });
}

void Button::setColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  runSync([&] {
    normal_.setColour(red, green, blue);
    invalidate();
  });
}

void Button::setWidthPercent(std::int32_t percent) {
  setWidthPercentValue(percent);
  relayoutParent();
}
void Button::setHeightPercent(std::int32_t percent) {
  setHeightPercentValue(percent);
  relayoutParent();
}
void Button::setFixedWidth(std::int32_t px) {
  setFixedWidthValue(platform::ui::DesktopScale::px(px));
  relayoutParent();
}
void Button::setFixedHeight(std::int32_t px) {
  setFixedHeightValue(platform::ui::DesktopScale::px(px));
  relayoutParent();
}

void Button::setDrawer(drawer::IButton* drawer, bool owned) {
  runSync([&] {
    drawer_.set(drawer, owned);
    invalidate();
  });
}

void Button::setDrawFlag(bool drawFlag) {
  runSync([&] {
    drawFlag_ = drawFlag;
    invalidate();
  });
}

void Button::setToggle(const ToggleOptions& options) {
  runSync([&] {
    toggle_ = options.toggle;
    releasable_ = options.releasable;
    invertLook_ = options.invertLook;
    drawFlag2_ = options.drawFlag2;
    invalidate();
  });
}

void Button::setToggle(bool toggle, bool releasable, bool invertLook, bool drawFlag2) {
  setToggle({.toggle = toggle,
             .releasable = releasable,
             .invertLook = invertLook,
             .drawFlag2 = drawFlag2});
}

void Button::setPressed(bool pressed) {
  runSync([&] {
    if (pressed != pressed_) {
      pressed_ = pressed;
      repaint();
    }
  });
}

void Button::makeDefault() {
  runSync([&] {
    isDefault_ = true;
    invalidate();
  });
}

void Button::clearDefault() {
  runSync([&] {
    isDefault_ = false;
    invalidate();
  });
}

void Button::setColourSwatch(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  char hex[8];
  std::snprintf(hex, sizeof(hex), "%02X%02X%02X", red, green, blue);
  std::u16string caption = u"#Color-";
  caption.append(hex, hex + 6);
  setText(caption);
}

void Button::setEnabled(bool enabled) {
  runSync([&] {
    if (enabled != isEnabled()) {
      Component::setEnabled(enabled);
      repaint();
    }
  });
}

void Button::createPlatform(IWindow* window, WindowHost* host) {
  Component::createPlatform(window, host);
  languageChanged();
}

void Button::destroyPlatform() {
  if (Window* window = windowOf(*this)) {
    stopRepeat();
    window->releaseCapture(this);
  }
  held_ = false;
  hotState_ = 0;
  Component::destroyPlatform();
}

void Button::languageChanged() {
  if (textId_ != -1) {
    setTextId(textId_);
  }
}

void Button::paint(cairo_t* cr) {
  const platform::ui::Rect area{0, 0, getWidth(), getHeight()};
  drawer::IButton* drawer = buttonDrawer();
  if (drawer == nullptr && isResizeGrip()) {
    Component::paint(cr);
    paintGripDots(cr);
    return;
  }
  if (drawer == nullptr) {
    // The plain push button of the platform.
    drawer = &basic_;
  }
  if (followsParent_ && drawer->isTransparent()) {
    Component::paint(cr);
  }
  const bool pressedLook = invertLook_ ? !pressed_ : pressed_;
  const Font* font = !isEnabled() ? &disabled_ : pressedLook ? &pressedFont_ : &normal_;
  drawer->paintButton(cr, area, pressed_ && !releasable_ ? 0 : hotState_, text_, drawFlag_, font,
                      isEnabled(), pressedLook, drawFlag2_);
  Window* window = windowOf(*this);
  if (hasFocus() && window != nullptr && window->focusCuesShown()) {
    paintFocusCue(cr, font->getColour());
  }
}

void Button::paintFocusCue(cairo_t* cr, drawer::Rgb colour) const {
  const double line = platform::ui::DesktopScale::line();
  const double inset = platform::ui::DesktopScale::px(3) + line / 2;
  if (getWidth() <= 2 * inset || getHeight() <= 2 * inset) {
    return;
  }
  drawer::setSource(cr, colour);
  cairo_set_line_width(cr, line);
  cairo_set_dash(cr, &line, 1, 0);
  cairo_rectangle(cr, inset, inset, getWidth() - 2 * inset, getHeight() - 2 * inset);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

void Button::paintGripDots(cairo_t* cr) {
  using platform::ui::DesktopScale;
  const std::int32_t w = getWidth();
  const std::int32_t h = getHeight();
  // Offsets from the bottom-right corner at 96 dpi.
  constexpr std::int32_t kDots[6][2] = {{3, 11}, {3, 7}, {7, 7}, {3, 3}, {7, 3}, {11, 3}};
  const std::int32_t size = DesktopScale::px(2);
  const std::int32_t shadow = DesktopScale::line();
  for (const auto& dot : kDots) {
    const std::int32_t x = w - DesktopScale::px(dot[0]);
    const std::int32_t y = h - DesktopScale::px(dot[1]);
    drawer::setSource(cr, drawer::rgb(184, 181, 161));
    cairo_rectangle(cr, x - shadow, y - shadow, size, size);
    cairo_fill(cr);
    drawer::setSource(cr, 0xFFFFFF);
    cairo_rectangle(cr, x, y, size, size);
    cairo_fill(cr);
  }
}

void Button::setHot(std::int32_t state) {
  if (hotState_ != state) {
    hotState_ = state;
    repaint();
  }
}

void Button::click() {
  clicks_.fire(this, kEventClick);
  if (toggle_ && clickable_ && (releasable_ || !pressed_)) {
    pressed_ = !pressed_;
    repaint();
  }
  toggles_.fire(this, kEventToggled);
}

void Button::stopRepeat() {
  if (Window* window = windowOf(*this)) {
    window->killComponentTimer(this, kRepeatDelayTimer);
    window->killComponentTimer(this, kRepeatTimer);
  }
}

void Button::repeatTick(std::uint32_t id) {
  Window* window = windowOf(*this);
  if (window == nullptr || !held_ || !cursorInside_) {
    return;
  }
  if (id == kRepeatDelayTimer) {
    window->killComponentTimer(this, kRepeatDelayTimer);
    window->setComponentTimer(this, kRepeatTimer, kRepeatMs, [this] { repeatTick(kRepeatTimer); });
  }
  presses_.fire(this, kEventPress);
}

void Button::resizeWindowBy(std::int32_t dx, std::int32_t dy) {
  Window* window = windowOf(*this);
  if (window == nullptr || !window->isResizable() || (dx == 0 && dy == 0)) {
    return;
  }
  // The window keeps to its least size, as it adjusts a size the user drags on its frame.
  window->setSize(std::max(window->getWidth() + dx, window->getMinWidth()),
                  std::max(window->getHeight() + dy, window->getMinHeight()));
}

platform::ui::PointerShape Button::cursorAt(std::int32_t x, std::int32_t y) const {
  const platform::ui::PointerShape own = Component::cursorAt(x, y);
  if (own != platform::ui::PointerShape::kInherit) {
    return own;
  }
  if (isResizeGrip()) {
    return platform::ui::PointerShape::kSizeBottomRight;
  }
  // A button that lets the mouse through shows what lies beneath.
  return clickable_ && !(pressed_ && !releasable_) ? platform::ui::PointerShape::kHand
                                                   : platform::ui::PointerShape::kInherit;
}

void Button::captureLost() {
  stopRepeat();
  held_ = false;
  cursorInside_ = false;
  setHot(0);
}

bool Button::isFocusable() const {
  return isVisible() && isEnabled() && clickable_ && !(pressed_ && !releasable_) && !isResizeGrip();
}

bool Button::handleKey(const Event& event) {
  constexpr std::uint32_t kSpace = 0x20;
  constexpr std::uint32_t kReturn = 0xFF0D;
  constexpr std::uint32_t kKeypadEnter = 0xFF8D;
  constexpr std::uint32_t kCommandKeys = platform::ui::modifier::kControl |
                                         platform::ui::modifier::kAlt |
                                         platform::ui::modifier::kSuper;
  const bool activates =
      event.keysym == kSpace || event.keysym == kReturn || event.keysym == kKeypadEnter;
  if (!activates || (event.modifiers & kCommandKeys) != 0 || !isFocusable() || held_) {
    return false;
  }
  click();
  return true;
}

bool Button::handleInput(const Event& event, std::int32_t x, std::int32_t y) {
  // A button that does not react lets the mouse through to what lies beneath.
  Window* window = windowOf(*this);
  if (!held_ && (!clickable_ || (pressed_ && !releasable_))) {
    if (window != nullptr) {
      window->releaseCapture(this);
    }
    hotState_ = 0;
    return false;
  }
  const bool inside = x >= 0 && y >= 0 && x < getWidth() && y < getHeight();
  switch (event.kind) {
    case EventKind::kMotion:
      cursorInside_ = inside;
      if (held_) {
        if (isResizeGrip()) {
          resizeWindowBy(event.rootX - lastRootX_, event.rootY - lastRootY_);
          lastRootX_ = event.rootX;
          lastRootY_ = event.rootY;
        }
      } else if (inside) {
        if (window != nullptr) {
          window->setCapture(this);
        }
        setHot(1);
      } else {
        if (window != nullptr) {
          window->releaseCapture(this);
        }
        setHot(0);
      }
      return true;
    case EventKind::kLeave:
      cursorInside_ = false;
      if (!held_) {
        if (window != nullptr) {
          window->releaseCapture(this);
        }
        setHot(0);
      }
      return true;
    case EventKind::kButtonPress:
      if (event.button != 1 || !inside || !isEnabled()) {
        return event.button == 1;
      }
      held_ = true;
      cursorInside_ = true;
      lastRootX_ = event.rootX;
      lastRootY_ = event.rootY;
      if (window != nullptr) {
        window->setCapture(this);
      }
      setHot(2);
      presses_.fire(this, kEventPress);
      if (autoRepeat_ && window != nullptr) {
        window->setComponentTimer(this, kRepeatDelayTimer, kRepeatDelayMs,
                                  [this] { repeatTick(kRepeatDelayTimer); });
      }
      return true;
    case EventKind::kButtonRelease: {
      if (event.button != 1 || !held_) {
        return event.button == 1;
      }
      stopRepeat();
      held_ = false;
      if (!inside && window != nullptr) {
        window->releaseCapture(this);
      }
      setHot(inside ? 1 : 0);
      if (inside) {
        click();
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace s::gui::win
