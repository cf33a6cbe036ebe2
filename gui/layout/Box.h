#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/layout/BoxBase.h"

namespace s::gui::win {

// The plain container.
class Box final : public Pooled<Box, BoxBase> {
 public:
  std::u16string_view className() const override { return u"s_gui_win_Box"; }

  // A box of layout `kind` (0 to 3). Percentages are set when at least 0; alignments of 0 or
  // less mean left/top, 1 centre/middle, more right/bottom; spacings and insets are set when
  // above 0 (insetH left and right, insetV top and bottom).
  static Box* newBox(std::int32_t widthPercent, std::int32_t heightPercent, std::int32_t hAlign,
                     std::int32_t vAlign, std::int32_t hSpacing, std::int32_t vSpacing,
                     std::int32_t insetH, std::int32_t insetV, std::int32_t kind);
  // A `Horizontal` box aligned right and bottom, with the height percentage and fixed width
  // when each is at least 0.
  static Box* newBottomRightBox(std::int32_t heightPercent, std::int32_t fixedWidth);
};

}  // namespace s::gui::win
