// Window: the skinned frame, and painting gathered into one pass per round of the loop for the
// window and its owned windows.
#include "gui/layout/OwnedWindow.h"
#include "gui/layout/Window.h"

namespace s::gui::win {

using platform::ui::Rect;

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

void Window::requestPaint() {
  if (!paintQueued_ && display_ != nullptr) {
    paintQueued_ = true;
    // Painted after the work of this round, once for all its changes.
    display_->post([this] { flushPaint(); });
  }
}

void Window::flushPaint() {
  paintQueued_ = false;
  paintDamage();
  for (OwnedWindow* owned : owned_) {
    owned->paintDamage();
  }
}

}  // namespace s::gui::win
