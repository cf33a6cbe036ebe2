#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/layout/Component.h"
#include "gui/layout/ISpacer.h"

namespace s::gui::win {

// Empty room in a layout, painted with its background. Horizontal by default; switching the
// orientation exchanges the width and height settings.
class Spacer final : public Pooled<Spacer, Component>, public ISpacer {
 public:
  void setHorizontal() override;
  void setVertical() override;
  void setWidthPercent(std::int32_t percent) override;
  void setHeightPercent(std::int32_t percent) override;
  void setFixedWidth(std::int32_t px) override;
  void setFixedHeight(std::int32_t px) override;
  bool isVertical() const { return vertical_; }

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_Spacer"; }

 private:
  void exchangeAxes();
  bool vertical_ = false;
};

}  // namespace s::gui::win
