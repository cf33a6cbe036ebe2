#pragma once

#include "gui/layout/ILayoutManager.h"

namespace s::gui::win {

// `Pile`: the visible children stacked on the same area, each as large as the area allows
// within its limits and aligned in it; hidden children take no part.
class PileLayout final : public ILayoutManager {
 public:
  static PileLayout& instance();
  LayoutResult layout(IBox& box) override;
};

}  // namespace s::gui::win
