#include "gui/layout/Box.h"

namespace s::gui::win {

Box* Box::newBox(std::int32_t widthPercent, std::int32_t heightPercent, std::int32_t hAlign,
                 std::int32_t vAlign, std::int32_t hSpacing, std::int32_t vSpacing,
                 std::int32_t insetH, std::int32_t insetV, std::int32_t kind) {
  Box* box = take();
  switch (kind) {
    case kLayoutVertical:
      box->setLayoutVertical();
      break;
    case kLayoutFlowH:
      box->setLayoutFlowH();
      break;
    case kLayoutPile:
      box->setLayoutPile();
      break;
    default:
      box->setLayoutHorizontal();
      break;
  }
  if (widthPercent >= 0) {
    box->setWidthPercent(widthPercent, false);
  }
  if (heightPercent >= 0) {
    box->setHeightPercent(heightPercent, false);
  }
  hAlign <= 0 ? box->alignLeft() : hAlign == 1 ? box->alignCenter() : box->alignRight();
  vAlign <= 0 ? box->alignTop() : vAlign == 1 ? box->alignMiddle() : box->alignBottom();
  if (hSpacing > 0) {
    box->setHSpacing(hSpacing);
  }
  if (vSpacing > 0) {
    box->setVSpacing(vSpacing);
  }
  if (insetH > 0) {
    box->setInsetH(insetH);
  }
  if (insetV > 0) {
    box->setInsetV(insetV);
  }
  return box;
}

Box* Box::newBottomRightBox(std::int32_t heightPercent, std::int32_t fixedWidth) {
  Box* box = take();
  box->setLayoutHorizontal();
  box->alignRight();
  box->alignBottom();
  if (heightPercent >= 0) {
    box->setHeightPercent(heightPercent, false);
  }
  if (fixedWidth >= 0) {
    box->setFixedWidth(fixedWidth, false);
  }
  return box;
}

}  // namespace s::gui::win
