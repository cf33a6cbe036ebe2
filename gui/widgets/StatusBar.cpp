#include "gui/widgets/StatusBar.h"

#include "gui/drawer/Shapes.h"
#include "gui/drawer/statusbar/Basic.h"
#include "gui/widgets/Skinned.h"

namespace s::gui::win {

namespace {
constexpr std::int32_t kGripSize = 12;
}  // namespace

StatusBar* StatusBar::newStatusBar() {
  StatusBar* bar = take();
  bar->setLayoutHorizontal();
  bar->setWidthPercent(100, false);
  // Transparent to what it holds (a graph looks through it), it paints its own face.
  bar->setTransparent(false);
  bar->fields_ = Box::newBox(100, 100, 0, 1, 0, 0, 2, 0, kLayoutHorizontal);
  bar->BoxBase::add(bar->fields_);
  Box* corner = Box::newBottomRightBox(100, kGripSize);
  corner->setTransparent(false);
  bar->grip_ = Button::newButtonText(u"#Resizer", kGripSize, kGripSize);
  corner->add(bar->grip_);
  bar->BoxBase::add(corner);
  bar->fields_->setTransparent(false);
  return bar;
}

void StatusBar::reset() {
  BoxBase::reset();
  fields_ = nullptr;
  grip_ = nullptr;
  drawer_.reset();
}

void StatusBar::add(IComponent* field) {
  if (fields_ != nullptr) {
    fields_->add(field);
  } else {
    BoxBase::add(field);
  }
}

void StatusBar::setDrawer(drawer::IStatusBar* drawer, bool owned) {
  runSync([&] {
    drawer_.set(drawer, owned);
    invalidate();
  });
}

drawer::IStatusBar* StatusBar::barDrawer() {
  if (drawer_.get() != nullptr) {
    return drawer_.get();
  }
  drawer::ISkin* skin = skinOf(*this);
  if (skin != nullptr && skin->getStatusBar() != nullptr) {
    return skin->getStatusBar();
  }
  return &basic_;
}

void StatusBar::paint(cairo_t* cr) {
  // Under a skin the bar shows the window's surface and the skin's line.
  if (skinOf(*this) == nullptr) {
    drawer::shapes::fill(cr, {0, 0, getWidth(), getHeight()}, drawer::shapes::kFace);
  }
  barDrawer()->paintStatusBar(cr, {0, 0, getWidth(), getHeight()});
}

}  // namespace s::gui::win
