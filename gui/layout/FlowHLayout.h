#pragma once

#include "gui/layout/ILayoutManager.h"

namespace s::gui::win {

// `FlowH`: children flow left to right and wrap onto new lines; lines may grow taller into the
// box's extra height, the block of lines is aligned vertically and each line horizontally.
class FlowHLayout final : public ILayoutManager {
 public:
  static FlowHLayout& instance();
  LayoutResult layout(IBox& box) override;
};

}  // namespace s::gui::win
