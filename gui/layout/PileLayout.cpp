#include "gui/layout/PileLayout.h"

#include <algorithm>

#include "gui/layout/Component.h"
#include "gui/layout/IBox.h"
#include "gui/layout/LayoutMath.h"

namespace s::gui::win {

PileLayout& PileLayout::instance() {
  static PileLayout layout;
  return layout;
}

LayoutResult PileLayout::layout(IBox& box) {
  const auto& children = *box.getChildren();
  const std::int32_t innerWidth = box.getInnerWidth();
  const std::int32_t innerHeight = box.getInnerHeight();
  std::int32_t g = innerWidth;
  std::int32_t gh = innerHeight;
  for (IComponent* c : children) {
    if (Component::shown(c)) {
      g = std::max(g, c->getMinWidth());
      gh = std::max(gh, c->getMinHeight());
    }
  }
  LayoutResult result;
  for (IComponent* c : children) {
    if (!Component::shown(c)) {
      continue;
    }
    c->setSizeClamped(g, gh);
    c->setPosition(alignedOffset(innerWidth - c->getWidth(), box.getHorizontalAlign()),
                   alignedOffset(innerHeight - c->getHeight(), box.getVerticalAlign()));
    result.contentMinWidth = std::max(result.contentMinWidth, c->getMinWidth());
    result.contentMinHeight = std::max(result.contentMinHeight, c->getMinHeight());
    result.contentMaxWidth = std::max(result.contentMaxWidth, c->getMaxWidth());
    result.contentMaxHeight = std::max(result.contentMaxHeight, c->getMaxHeight());
  }
  return result;
}

}  // namespace s::gui::win
