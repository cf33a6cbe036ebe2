#pragma once

#include <cstdint>

namespace s::gui {

class IBox;

// The four numbers a layout computes for its box's inner area.
struct LayoutResult {
  std::int32_t contentMinWidth = 0;
  std::int32_t contentMinHeight = 0;
  std::int32_t contentMaxWidth = 0;
  std::int32_t contentMaxHeight = 0;
};

// Places a box's children in its inner area.
class ILayoutManager {
 public:
  virtual ~ILayoutManager() = default;
  virtual LayoutResult layout(IBox& box) = 0;
};

}  // namespace s::gui
