// Window: painting, gathered into one pass per round of the loop, and the skinned frame.
#include "gui/layout/Window.h"

#include <algorithm>

namespace s::gui::win {

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

void Window::paint(cairo_t* cr) {
  const drawer::ISkin* skin = skin_.get();
  if (skin == nullptr) {
    Component::paint(cr);
    return;
  }
  const Rect all{0, 0, getWidth(), getHeight()};
  if (skin->getBorder() != nullptr) {
    skin->getBorder()->paintBorder(cr, all);
  }
  if (skin->getWindow() != nullptr) {
    skin->getWindow()->paintFrame(cr, all, true);
  }
}

void Window::invalidate(const Rect& area) {
  if (!isUiThread()) {
    runSync([&] { invalidate(area); });
    return;
  }
  const Rect visible = area.intersected({0, 0, getWidth(), getHeight()});
  if (visible.empty() || display_ == nullptr) {
    return;
  }
  damage_ = united(damage_, visible);
  if (!paintQueued_) {
    paintQueued_ = true;
    // Painted after the work of this round, once for all its changes.
    display_->post([this] { flushPaint(); });
  }
}

void Window::flushPaint() {
  paintQueued_ = false;
  const Rect area = damage_;
  damage_ = {};
  paintNow(area);
}

void Window::paintNow(const Rect& area) {
  if (display_ == nullptr || area.empty() || !wantsVisible()) {
    return;
  }
  cairo_surface_t* surface = display_->backBuffer(platformWindow_);
  if (surface == nullptr) {
    return;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_clip(cr);
  paintTree(cr, *this, 0, 0);
  cairo_destroy(cr);
  display_->present(platformWindow_, area);
}

void Window::paintTree(cairo_t* cr, Component& component, std::int32_t x, std::int32_t y) {
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
