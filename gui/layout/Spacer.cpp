#include "gui/layout/Spacer.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::win {

void Spacer::reset() {
  Component::reset();
  vertical_ = false;
}

void Spacer::exchangeAxes() {
  const std::int32_t widthPercent = this->widthPercent();
  const std::int32_t fixedWidth = this->fixedWidth();
  setWidthPercentValue(heightPercent());
  setFixedWidthValue(this->fixedHeight());
  setHeightPercentValue(widthPercent);
  setFixedHeightValue(fixedWidth);
  relayoutParent();
}

void Spacer::setHorizontal() {
  if (vertical_) {
    vertical_ = false;
    exchangeAxes();
  }
}

void Spacer::setVertical() {
  if (!vertical_) {
    vertical_ = true;
    exchangeAxes();
  }
}

void Spacer::setWidthPercent(std::int32_t percent) {
  setWidthPercentValue(percent);
  setFixedWidthValue(-1);
  relayoutParent();
}

void Spacer::setHeightPercent(std::int32_t percent) {
  setHeightPercentValue(percent);
  setFixedHeightValue(-1);
  relayoutParent();
}

void Spacer::setFixedWidth(std::int32_t px) {
  setFixedWidthValue(platform::ui::DesktopScale::px(px));
  setWidthPercentValue(-1);
  relayoutParent();
}

void Spacer::setFixedHeight(std::int32_t px) {
  setFixedHeightValue(platform::ui::DesktopScale::px(px));
  setHeightPercentValue(-1);
  relayoutParent();
}

}  // namespace s::gui::win
