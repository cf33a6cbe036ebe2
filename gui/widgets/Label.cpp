#include "gui/widgets/Label.h"

#include "framework/lang/Localizer.h"
#include "gui/drawer/text/Basic.h"
#include "gui/widgets/IButton.h"
#include "gui/widgets/LinkOpener.h"
#include "gui/widgets/Skinned.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;

Label::Label() {
  // A label shows what lies beneath it; setTransparent's argument only asks for a repaint.
  setTransparent(false);
}

void Label::reset() {
  Component::reset();
  setTransparent(false);
  text_.clear();
  textId_ = -1;
  font_.reset();
  alignment_ = 0;
  wrap_ = false;
  drawer_.reset();
  link_ = false;
  linkTarget_.clear();
  hotState_ = 0;
  pressed_ = false;
  clickListeners_.clear();
  savedText_.clear();
}

Label* Label::newLabel(std::u16string_view text, bool wrap, std::int32_t sizeCode) {
  Label* label = take();
  label->wrap_ = wrap;
  label->font_.setSizeCode(sizeCode);
  label->setText(text, false);
  return label;
}

Label* Label::newLabelId(std::int32_t textId, std::int32_t alignment, std::int32_t sizeCode) {
  Label* label = take();
  label->alignment_ = alignment;
  label->font_.setSizeCode(sizeCode);
  label->setTextId(textId);
  return label;
}

void Label::setDrawer(drawer::IText* drawer, bool owned) {
  runSync([&] {
    drawer_.set(drawer, owned);
    measure();
    relayoutParent();
    invalidate();
  });
}

drawer::IText* Label::textDrawer() {
  if (drawer_.get() != nullptr) {
    return drawer_.get();
  }
  drawer::ISkin* skin = skinOf(*this);
  if (skin != nullptr && skin->getText() != nullptr) {
    return skin->getText();
  }
  return &basic_;
}

void Label::measure() {
  const drawer::TextLayout::Size size =
      textDrawer()->measureText(text_, &font_, wrap_ && getWidth() > 0 ? getWidth() : 0);
  setMinSize(wrap_ ? 0 : size.width, size.height);
  setNaturalSize(size.width, size.height);
}

std::u16string Label::getText() {
  std::u16string copy;
  runSync([&] { copy = text_; });
  return copy;
}

bool Label::setText(std::u16string_view text, bool redraw) {
  bool changed = false;
  runSync([&] {
    if (text == text_) {
      return;
    }
    changed = true;
    if (created() && !text_.empty()) {
      // The old text goes first, so that nothing of it stays where the new one is shorter.
      text_.clear();
      if (redraw) {
        repaint();
      }
    }
    text_ = text;
    measure();
    relayoutParent();
    if (redraw) {
      repaint();
    }
  });
  return changed;
}

void Label::setTextId(std::int32_t id) {
  runSync([&] {
    textId_ = id;
    lang::Localizer* localizer = localizerOf(*this);
    setText(localizer != nullptr && id != -1 ? localizer->text(id) : std::u16string_view(), true);
  });
}

void Label::showTextFor(std::u16string_view text, std::uint32_t ms) {
  Window* window = windowOf(*this);
  if (!created() || window == nullptr) {
    return;
  }
  runSync([&] {
    window->killComponentTimer(this, kTemporaryTimer);
    if (savedText_.empty()) {
      savedText_ = text_;
    }
    setText(text, true);
    window->setComponentTimer(this, kTemporaryTimer, ms, [this] { restoreSaved(); });
  });
}

void Label::restoreSaved() {
  const std::u16string saved = std::move(savedText_);
  savedText_.clear();
  if (Window* window = windowOf(*this)) {
    window->killComponentTimer(this, kTemporaryTimer);
  }
  setText(saved, true);
}

void Label::setAlignment(std::int32_t alignment) {
  runSync([&] {
    alignment_ = alignment;
    invalidate();
  });
}

void Label::setWrap(bool wrap) {
  runSync([&] {
    wrap_ = wrap;
    measure();
    relayoutParent();
    invalidate();
  });
}

void Label::setSizeCode(std::int32_t code) {
  runSync([&] {
    if (font_.setSizeCode(code)) {
      measure();
      relayoutParent();
      invalidate();
    }
  });
}

void Label::setFace(std::u16string_view name) {
  runSync([&] {
    font_.setFace(name);
    measure();
    relayoutParent();
    invalidate();
  });
}

void Label::setColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  runSync([&] {
    font_.setColour(red, green, blue);
    invalidate();
  });
}

void Label::setPointSize(std::int32_t points) {
  runSync([&] {
    font_.setPointSize(points);
    measure();
    relayoutParent();
    invalidate();
  });
}

void Label::setFontHeight(std::int32_t height) {
  runSync([&] {
    font_.setHeight(height);
    measure();
    relayoutParent();
    invalidate();
  });
}

void Label::setLink(bool link) {
  runSync([&] {
    link_ = link;
    invalidate();
  });
}

void Label::createPlatform(IWindow* window, WindowHost* host) {
  Component::createPlatform(window, host);
  if (textId_ != -1) {
    setTextId(textId_);
  } else {
    // The skin's drawer may measure otherwise than the one used before.
    measure();
  }
}

void Label::destroyPlatform() {
  if (Window* window = windowOf(*this)) {
    window->killComponentTimer(this, kTemporaryTimer);
    window->releaseCapture(this);
  }
  Component::destroyPlatform();
}

void Label::languageChanged() {
  if (textId_ != -1) {
    setTextId(textId_);
  }
}

void Label::paint(cairo_t* cr) {
  Component::paint(cr);
  textDrawer()->paintText(cr, {0, 0, getWidth(), getHeight()}, text_, &font_, alignment_, wrap_,
                          isEnabled(), link_, hotState_);
}

void Label::setHot(std::int32_t state) {
  if (hotState_ != state) {
    hotState_ = state;
    repaint();
  }
}

platform::ui::PointerShape Label::cursorAt(std::int32_t x, std::int32_t y) const {
  const platform::ui::PointerShape own = Component::cursorAt(x, y);
  return own == platform::ui::PointerShape::kInherit && link_ ? platform::ui::PointerShape::kHand
                                                              : own;
}

void Label::captureLost() {
  pressed_ = false;
  setHot(0);
}

bool Label::handleInput(const Event& event, std::int32_t x, std::int32_t y) {
  if (!link_) {
    return false;
  }
  Window* window = windowOf(*this);
  const bool inside = x >= 0 && y >= 0 && x < getWidth() && y < getHeight();
  switch (event.kind) {
    case EventKind::kMotion:
      if ((event.modifiers & platform::ui::modifier::kButtonLeft) == 0 && !pressed_) {
        if (inside) {
          setHot(1);
          if (window != nullptr) {
            window->setCapture(this);
          }
        } else {
          if (window != nullptr) {
            window->releaseCapture(this);
          }
          setHot(0);
        }
      }
      return true;
    case EventKind::kLeave:
      if (!pressed_) {
        if (window != nullptr) {
          window->releaseCapture(this);
        }
        setHot(0);
      }
      return true;
    case EventKind::kButtonPress:
      if (event.button == 1 && inside) {
        pressed_ = true;
        if (window != nullptr) {
          window->setCapture(this);
        }
        setHot(2);
      }
      return true;
    case EventKind::kButtonRelease:
      if (event.button == 1) {
        const bool clicked = pressed_ && inside;
        pressed_ = false;
        if (window != nullptr) {
          window->releaseCapture(this);
        }
        setHot(0);
        if (clicked) {
          if (!linkTarget_.empty()) {
            LinkOpener::open(linkTarget_);
          }
          clickListeners_.fire(this, gui::IButton::kEventClick);
        }
      }
      return true;
    default:
      return false;
  }
}

}  // namespace s::gui::win
