// ComponentHost: painting the tree, the platform window's bounds, the listeners. The input
// routing is in ComponentHostInput.cpp.
#include "gui/layout/ComponentHost.h"

#include <algorithm>

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::Rect;

namespace {

Rect united(const Rect& a, const Rect& b) {
  if (a.empty()) {
    return b;
  }
  if (b.empty()) {
    return a;
  }
  const std::int32_t left = std::min(a.x, b.x);
  const std::int32_t top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.width, b.x + b.width) - left,
          std::max(a.y + a.height, b.y + b.height) - top};
}

}  // namespace

void ComponentHost::addHostListener(WindowEvent event, events::IEventListener* listener) {
  if (event > 0 && event < kWindowEventCount) {
    Component::runSync([&] { listeners_[static_cast<std::size_t>(event)].add(listener); });
  }
}

void ComponentHost::removeHostListener(WindowEvent event, events::IEventListener* listener) {
  if (event > 0 && event < kWindowEventCount) {
    Component::runSync([&] { listeners_[static_cast<std::size_t>(event)].remove(listener); });
  }
}

void ComponentHost::fire(WindowEvent event) {
  listeners_[static_cast<std::size_t>(event)].fire(this, event);
}

void ComponentHost::releaseCapture(const Component* component) {
  if (capture_ == component) {
    capture_ = nullptr;
  }
}

void ComponentHost::focusComponent(Component* component) {
  if (component == focus_) {
    return;
  }
  Component* previous = focus_;
  focus_ = component;
  if (previous != nullptr) {
    previous->invalidate();
  }
  if (component != nullptr) {
    component->invalidate();
  }
}

void ComponentHost::attachPlatformWindow(platform::ui::WindowId window, const Rect& bounds) {
  platformWindow_ = window;
  applied_ = bounds;
  damage_ = {};
  shownCursor_ = platform::ui::PointerShape::kArrow;
}

void ComponentHost::clearHostState() {
  for (auto& list : listeners_) {
    list.clear();
  }
  lastInput_ = {};
  capture_ = nullptr;
  focus_ = nullptr;
  heldButtons_ = 0;
  focusCues_ = false;
  lastLeftPressMs_ = 0;
}

void ComponentHost::applyBounds() {
  platform::ui::IDisplay* screen = display();
  if (!created() || fromPlatform_ || screen == nullptr) {
    return;
  }
  const Rect now{getX(), getY(), getWidth(), getHeight()};
  const bool sized = now.width != applied_.width || now.height != applied_.height;
  if (sized && now.width > 0 && now.height > 0) {
    screen->resize(platformWindow_, now.width, now.height);
  }
  if (now.x != applied_.x || now.y != applied_.y) {
    screen->move(platformWindow_, now.x, now.y);
  }
  applied_ = now;
  if (sized) {
    relayout();
    invalidate(Rect{0, 0, now.width, now.height});
  }
}

ComponentHost::BoundsChange ComponentHost::changeOf(const Event& configure) const {
  return {.moved = configure.rootX != applied_.x || configure.rootY != applied_.y,
          .sized = configure.width != applied_.width || configure.height != applied_.height};
}

void ComponentHost::takePlatformBounds(const Event& configure) {
  const BoundsChange change = changeOf(configure);
  applied_ = {configure.rootX, configure.rootY, configure.width, configure.height};
  fromPlatform_ = true;
  setBounds(configure.rootX, configure.rootY, configure.width, configure.height);
  fromPlatform_ = false;
  if (change.sized) {
    relayout();
    invalidate(Rect{0, 0, configure.width, configure.height});
  }
}

void ComponentHost::invalidate(const Rect& area) {
  if (!isUiThread()) {
    WindowHost::runSync([&] { invalidate(area); });
    return;
  }
  const Rect visible = area.intersected({0, 0, getWidth(), getHeight()});
  if (visible.empty() || display() == nullptr || platformWindow_ == 0) {
    return;
  }
  const bool first = damage_.empty();
  damage_ = united(damage_, visible);
  if (first) {
    // Painted after the work of this round, once for all its changes.
    requestPaint();
  }
}

void ComponentHost::paintDamage() {
  const Rect area = damage_;
  damage_ = {};
  paintNow(area);
}

void ComponentHost::paintNow(const Rect& area) {
  platform::ui::IDisplay* screen = display();
  if (screen == nullptr || area.empty() || !wantsVisible()) {
    return;
  }
  cairo_surface_t* surface = screen->backBuffer(platformWindow_);
  if (surface == nullptr) {
    return;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_clip(cr);
  paintTree(cr, *this, 0, 0);
  cairo_destroy(cr);
  screen->present(platformWindow_, area);
}

void ComponentHost::paintTree(cairo_t* cr, Component& component, std::int32_t x, std::int32_t y) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rectangle(cr, 0, 0, component.getWidth(), component.getHeight());
  cairo_clip(cr);
  component.paint(cr);
  for (IComponent* child : *component.getChildren()) {
    Component* c = of(child);
    if (c != nullptr && c->isVisible()) {
      paintTree(cr, *c, c->platformBounds().x, c->platformBounds().y);
    }
  }
  cairo_restore(cr);
}

}  // namespace s::gui::win
