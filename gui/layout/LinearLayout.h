#pragma once

#include "gui/layout/ILayoutManager.h"

namespace s::gui::win {

// `Vertical` (children in one column) and `Horizontal` (one row, the same with the axes
// exchanged). Along the stack every child starts at its minimum; extra room grows the children
// in proportion to what they may still grow, and beyond all their maximums it becomes the
// surplus that the alignment places before, around or after the block.
class LinearLayout final : public ILayoutManager {
 public:
  static LinearLayout& vertical();
  static LinearLayout& horizontal();

  LayoutResult layout(IBox& box) override;

 private:
  explicit LinearLayout(bool vertical) : vertical_(vertical) {}
  bool vertical_;
};

}  // namespace s::gui::win
