#include "gui/widgets/Counter.h"

#include "gui/drawer/counter/Basic.h"
#include "gui/widgets/Skinned.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::win {

Counter::Counter() {
  setLayoutPile();
  setTransparent(false);
}

void Counter::reset() {
  BoxBase::reset();
  setLayoutPile();
  setTransparent(false);
  area_ = nullptr;
  series1_.reset();
  series2_.reset();
  showSecond_ = false;
  drawer_.reset();
  mode_ = 0;
  swapColours_ = false;
  left_ = top_ = right_ = bottom_ = 0;
}

Counter* Counter::newCounter(std::int32_t widthPercent, std::int32_t heightPercent) {
  Counter* counter = take();
  if (widthPercent >= 0) {
    counter->setWidthPercent(widthPercent, false);
  }
  if (heightPercent >= 0) {
    counter->setHeightPercent(heightPercent, false);
  }
  counter->area_ = Box::newBox(100, 100, 0, 0, 0, 0, 0, 0, kLayoutHorizontal);
  counter->area_->setTransparent(false);
  counter->add(counter->area_);
  counter->series1_.addViewer(counter);
  counter->series2_.addViewer(counter);
  return counter;
}

void Counter::setDrawer(drawer::ICounter* drawer, bool owned) {
  runSync([&] {
    drawer_.set(drawer, owned);
    invalidate();
  });
}

void Counter::setMode(std::int32_t mode) {
  runSync([&] {
    mode_ = mode;
    invalidate();
  });
}

void Counter::toggle() {
  runSync([&] {
    swapColours_ = !swapColours_;
    invalidate();
  });
}

void Counter::setInsets(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom) {
  runSync([&] {
    left_ = platform::ui::DesktopScale::px(left);
    top_ = platform::ui::DesktopScale::px(top);
    right_ = platform::ui::DesktopScale::px(right);
    bottom_ = platform::ui::DesktopScale::px(bottom);
    invalidate();
  });
}

void Counter::setShowSecond(bool show) {
  runSync([&] {
    showSecond_ = show;
    invalidate();
  });
}

drawer::ICounter* Counter::graphDrawer() {
  if (drawer_.get() != nullptr) {
    return drawer_.get();
  }
  drawer::ISkin* skin = skinOf(*this);
  if (skin != nullptr && skin->getCounter() != nullptr) {
    return skin->getCounter();
  }
  return &basic_;
}

drawer::Rgb Counter::underlyingColour() const {
  // The window itself (the one without a parent) is looked at last.
  for (const Component* c = of(getParent()); c != nullptr && c->getParent() != nullptr;
       c = of(c->getParent())) {
    if (!c->isTransparent()) {
      const Background b = c->getBackground();
      return drawer::rgb(b.red, b.green, b.blue);
    }
  }
  // Up to the window: a skinned window shows its surface colour.
  drawer::ISkin* skin = skinOf(*this);
  if (skin != nullptr && skin->getBorder() != nullptr) {
    return skin->getBorder()->getColour(1);
  }
  const Background b = getWindow() != nullptr ? getWindow()->getBackground() : getBackground();
  return drawer::rgb(b.red, b.green, b.blue);
}

void Counter::paint(cairo_t* cr) {
  if (isTransparent()) {
    drawer::setSource(cr, underlyingColour());
    cairo_paint(cr);
  } else {
    Component::paint(cr);
  }
  const platform::ui::Rect graph{left_, top_, getWidth() - left_ - right_,
                                 getHeight() - top_ - bottom_};
  graphDrawer()->paintGraph(cr, graph, mode_, &series1_, showSecond_ ? &series2_ : nullptr,
                            swapColours_);
}

}  // namespace s::gui::win
