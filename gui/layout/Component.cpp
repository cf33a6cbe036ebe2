#include "gui/layout/Component.h"

#include <algorithm>
#include <utility>

namespace s::gui::win {

namespace {

// Where hidden components wait, out of every window's sight.
constexpr std::int32_t kParkedX = -10000;
constexpr std::int32_t kParkedY = 10000;

// The desktop has no system colours of the old kind; these stand for the button face and the
// inactive caption text.
constexpr Background kSystemFace{240, 240, 240, false};
constexpr Background kInactiveCaptionText{128, 128, 128, false};

// Detaches a child and gives it back to its pool.
class ChildReleaser final : public IDestructor<IComponent> {
 public:
  static ChildReleaser& instance() {
    static ChildReleaser releaser;
    return releaser;
  }
  void destroy(IComponent*& slot) override {
    const PoolPtr<IComponent> child(std::exchange(slot, nullptr));
    if (child != nullptr) {
      child->setParent(nullptr);
    }
  }
};

}  // namespace

Component::Component() : background_(kSystemFace) {
  children_.setDestructor(&ChildReleaser::instance());
}

Component::~Component() = default;

Component* Component::of(IComponent* component) {
  return dynamic_cast<Component*>(component);
}
const Component* Component::of(const IComponent* component) {
  return dynamic_cast<const Component*>(component);
}
bool Component::shown(const IComponent* component) {
  const Component* c = of(component);
  return c != nullptr ? c->wantsVisible() : component->isVisible();
}

void Component::onEvent(IObject* /*source*/, std::int32_t /*code*/) {}

void Component::languageChanged() {
  for (IComponent* child : children_) {
    if (Component* c = of(child)) {
      c->languageChanged();
    }
  }
}

void Component::reset() {
  removeAll(true);
  setParent(nullptr);
  x_ = y_ = originX_ = originY_ = width_ = height_ = 0;
  minWidth_ = minHeight_ = naturalWidth_ = naturalHeight_ = 0;
  widthPercent_ = heightPercent_ = fixedWidth_ = fixedHeight_ = -1;
  insetLeft_ = insetRight_ = insetTop_ = insetBottom_ = 0;
  visible_ = enabled_ = true;
  deferred_ = dirty_ = false;
  background_ = kSystemFace;
  cursor_ = platform::ui::PointerShape::kInherit;
  platformBounds_ = {};
  platformMoves_ = 0;
  movedListeners_.clear();
}

std::int32_t Component::getScreenX() const {
  if (!created_ || window_ == nullptr) {
    return originX_ + x_;
  }
  return window_->getX() + clientBounds().x;
}

std::int32_t Component::getScreenY() const {
  if (!created_ || window_ == nullptr) {
    return originY_ + y_;
  }
  return window_->getY() + clientBounds().y;
}

bool Component::containsScreenPoint(std::int32_t x, std::int32_t y) const {
  const std::int32_t left = getScreenX();
  const std::int32_t top = getScreenY();
  return isVisible() && x >= left && x <= left + width_ && y >= top && y <= top + height_;
}

ScreenRect Component::getScreenRect() const {
  return {getScreenX(), getScreenY(), width_, height_};
}

std::int32_t Component::getInnerWidth() const {
  return std::max(0, width_ - insetLeft_ - insetRight_);
}
std::int32_t Component::getInnerHeight() const {
  return std::max(0, height_ - insetTop_ - insetBottom_);
}
void Component::setInnerWidth(std::int32_t width) {
  setSize(width + insetLeft_ + insetRight_, height_);
}
void Component::setInnerHeight(std::int32_t height) {
  setSize(width_, height + insetTop_ + insetBottom_);
}

void Component::setPosition(std::int32_t x, std::int32_t y) {
  runSync([&] {
    x_ = x;
    y_ = y;
    if (deferred_) {
      dirty_ = true;
    } else {
      applyBounds();
    }
    movedListeners_.fire(this, kEventMovedOrResized);
  });
}

void Component::setSize(std::int32_t width, std::int32_t height) {
  runSync([&] {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    if (deferred_) {
      dirty_ = true;
    } else {
      applyBounds();
    }
    movedListeners_.fire(this, kEventMovedOrResized);
  });
}

void Component::setBounds(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  runSync([&] {
    x_ = x;
    y_ = y;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    if (deferred_) {
      dirty_ = true;
    } else {
      applyBounds();
    }
    movedListeners_.fire(this, kEventMovedOrResized);
  });
}

void Component::setOrigin(std::int32_t originX, std::int32_t originY) {
  runSync([&] {
    originX_ = originX;
    originY_ = originY;
    if (deferred_) {
      dirty_ = true;
    } else {
      applyBounds();
    }
  });
}

void Component::moveOrigin(std::int32_t dx, std::int32_t dy) {
  setOrigin(originX_ + dx, originY_ + dy);
}

std::int32_t Component::getMinWidth() const {
  return fixedWidth_ >= 0 ? fixedWidth_ : ownMinWidth();
}
std::int32_t Component::getMinHeight() const {
  return fixedHeight_ >= 0 ? fixedHeight_ : ownMinHeight();
}
std::int32_t Component::getMinInnerWidth() const {
  return std::max(0, getMinWidth() - insetLeft_ - insetRight_);
}
std::int32_t Component::getMinInnerHeight() const {
  return std::max(0, getMinHeight() - insetTop_ - insetBottom_);
}

namespace {
// size × percent / 100, rounded half away from zero.
std::int32_t percentOf(std::int32_t size, std::int32_t percent) {
  const std::int64_t n = static_cast<std::int64_t>(size) * percent;
  return static_cast<std::int32_t>(n >= 0 ? (n + 50) / 100 : -((-n + 50) / 100));
}
}  // namespace

std::int32_t Component::ownMaxWidth() const {
  return std::max(minWidth_, naturalWidth_);
}
std::int32_t Component::ownMaxHeight() const {
  return std::max(minHeight_, naturalHeight_);
}

std::int32_t Component::getMaxWidth() const {
  if (fixedWidth_ >= 0) {
    return fixedWidth_;
  }
  if (widthPercent_ >= 0 && parent_ != nullptr) {
    return percentOf(parent_->getInnerWidth(), widthPercent_);
  }
  return ownMaxWidth();
}

std::int32_t Component::getMaxHeight() const {
  if (fixedHeight_ >= 0) {
    return fixedHeight_;
  }
  if (heightPercent_ >= 0 && parent_ != nullptr) {
    return percentOf(parent_->getInnerHeight(), heightPercent_);
  }
  return ownMaxHeight();
}

std::int32_t Component::getMaxInnerWidth() const {
  return std::max(0, getMaxWidth() - insetLeft_ - insetRight_);
}
std::int32_t Component::getMaxInnerHeight() const {
  return std::max(0, getMaxHeight() - insetTop_ - insetBottom_);
}

void Component::setMinSize(std::int32_t width, std::int32_t height) {
  minWidth_ = width;
  minHeight_ = height;
}

void Component::setNaturalSize(std::int32_t width, std::int32_t height) {
  naturalWidth_ = width;
  naturalHeight_ = height;
}

void Component::setSizeClamped(std::int32_t width, std::int32_t height) {
  runSync([&] {
    // Where the limits cross, the minimum wins: it is the least the component accepts.
    const std::int32_t w = std::max(std::min(width, getMaxWidth()), getMinWidth());
    const std::int32_t h = std::max(std::min(height, getMaxHeight()), getMinHeight());
    setSize(w, h);
    relayout();
  });
}

void Component::setVisible(bool show, bool recurse) {
  runSync([&] {
    const bool showing = show && !visible_;
    visible_ = show;
    if (recurse) {
      for (IComponent* child : children_) {
        child->setVisible(show, true);
      }
    }
    if (deferred_) {
      dirty_ = true;
    } else {
      applyBounds();
    }
    if (showing) {
      relayoutParent();
    }
  });
}

void Component::setEnabled(bool enabled) {
  runSync([&] {
    if (enabled_ != enabled) {
      enabled_ = enabled;
      invalidate();
    }
  });
}

void Component::centerInParent() {
  centerHorizontally();
  centerVertically();
}

void Component::centerHorizontally() {
  if (parent_ != nullptr) {
    setPosition(std::max(0, (parent_->getInnerWidth() - width_) / 2), y_);
  }
}

void Component::centerVertically() {
  if (parent_ != nullptr) {
    setPosition(x_, std::max(0, (parent_->getInnerHeight() - height_) / 2));
  }
}

void Component::setTransparent(bool redraw) {
  background_.transparent = true;
  if (redraw) {
    repaint();
  }
}

void Component::setBackgroundSystem(bool redraw) {
  setBackground(kSystemFace.red, kSystemFace.green, kSystemFace.blue, redraw);
}

void Component::setBackgroundLight(bool redraw) {
  auto light = [](std::uint8_t c) { return static_cast<std::uint8_t>(255 - (255 - c) / 2); };
  setBackground(light(kInactiveCaptionText.red), light(kInactiveCaptionText.green),
                light(kInactiveCaptionText.blue), redraw);
}

void Component::setBackground(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                              bool redraw) {
  background_ = {red, green, blue, false};
  if (redraw) {
    repaint();
  }
}

void Component::setParent(IContainer* container) {
  runSync([&] {
    if (container == nullptr) {
      destroyPlatform();
      parent_ = nullptr;
      window_ = nullptr;
      host_ = nullptr;
      return;
    }
    parent_ = container;
    Component* parent = of(container);
    if (parent != nullptr && parent->created_) {
      createPlatform(parent->window_, parent->host_);
    }
  });
}

void Component::createPlatform(IWindow* window, WindowHost* host) {
  window_ = window;
  host_ = host;
  created_ = true;
  applyBounds();
  for (IComponent* child : children_) {
    Component* c = of(child);
    if (c != nullptr) {
      c->createPlatform(window, host);
    }
  }
}

void Component::destroyPlatform() {
  for (IComponent* child : children_) {
    Component* c = of(child);
    if (c != nullptr) {
      c->destroyPlatform();
    }
  }
  // The focus does not stay with a component that has left the window.
  if (host_ != nullptr && host_->focusedComponent() == this) {
    host_->focusComponent(nullptr);
  }
  if (created_) {
    invalidate();
  }
  created_ = false;
  platformBounds_ = {};
}

void Component::add(IComponent* /*child*/) {}
void Component::remove(IComponent* /*child*/, bool /*recurse*/) {}

void Component::removeAll(bool recurse) {
  runSync([&] {
    while (!children_.empty()) {
      PoolPtr<IComponent> child = children_.takeLast();
      if (recurse) {
        child->removeAll(true);
      }
      child->setParent(nullptr);
    }
    relayout();
  });
}

IComponent* Component::getChild(std::uint32_t i) const {
  return i < children_.count() ? children_.at(i) : nullptr;
}

void Component::repaint(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  runSync([&] {
    if (!isVisible() || host_ == nullptr) {
      return;
    }
    const platform::ui::Rect client = clientBounds();
    host_->paintNow(
        platform::ui::Rect{client.x + x, client.y + y, width, height}.intersected(client));
  });
}

void Component::invalidate() {
  if (created_ && host_ != nullptr) {
    host_->invalidate(clientBounds());
  }
}

void Component::relayoutParent() {
  Component* parent = of(parent_);
  if (parent != nullptr && parent->created_) {
    parent->relayout();
  }
}

void Component::beginDeferred() {
  deferred_ = true;
  for (IComponent* child : children_) {
    child->beginDeferred();
  }
}

void Component::endDeferred() {
  runSync([&] {
    deferred_ = false;
    if (dirty_) {
      dirty_ = false;
      applyBounds();
    }
    for (IComponent* child : children_) {
      child->endDeferred();
    }
  });
}

platform::ui::Rect Component::clientBounds() const {
  // Only the top-level window is made without a parent; its client area is its own.
  if (parent_ == nullptr) {
    return {0, 0, width_, height_};
  }
  platform::ui::Rect r = platformBounds_;
  for (const Component* p = of(static_cast<const IComponent*>(parent_)); p != nullptr;
       p = of(static_cast<const IComponent*>(p->parent_))) {
    // The top-level window's own rectangle is the screen's; its client area starts at 0.
    if (p->parent_ == nullptr) {
      break;
    }
    r.x += p->platformBounds_.x;
    r.y += p->platformBounds_.y;
  }
  return r;
}

void Component::applyBounds() {
  if (!created_) {
    return;
  }
  const platform::ui::Rect now =
      visible_ ? platform::ui::Rect{originX_ + x_, originY_ + y_, width_, height_}
               : platform::ui::Rect{kParkedX, kParkedY, width_, height_};
  if (now == platformBounds_) {
    return;
  }
  invalidate();
  platformBounds_ = now;
  ++platformMoves_;
  invalidate();
}

void Component::paint(cairo_t* cr) {
  if (background_.transparent) {
    return;
  }
  cairo_set_source_rgb(cr, background_.red / 255.0, background_.green / 255.0,
                       background_.blue / 255.0);
  cairo_paint(cr);
}

bool Component::handleInput(const platform::ui::Event& /*event*/, std::int32_t /*x*/,
                            std::int32_t /*y*/) {
  return false;
}

platform::ui::PointerShape Component::cursorAt(std::int32_t /*x*/, std::int32_t /*y*/) const {
  return cursor_;
}

bool Component::handleKey(const platform::ui::Event& /*event*/) {
  return false;
}

bool Component::hasFocus() const {
  return host_ != nullptr && created_ && host_->focusedComponent() == this;
}

void Component::setFocus() {
  runSync([&] {
    if (host_ != nullptr && created_ && isFocusable()) {
      host_->focusComponent(this);
    }
  });
}

Component* Component::componentAt(std::int32_t x, std::int32_t y) {
  // Later children are painted over earlier ones, so they are asked first.
  for (std::uint32_t i = children_.count(); i > 0; --i) {
    Component* child = of(children_.at(i - 1));
    if (child == nullptr || !child->isVisible()) {
      continue;
    }
    const platform::ui::Rect& b = child->platformBounds_;
    if (x >= b.x && y >= b.y && x < b.x + b.width && y < b.y + b.height) {
      return child->componentAt(x - b.x, y - b.y);
    }
  }
  return this;
}

}  // namespace s::gui::win
