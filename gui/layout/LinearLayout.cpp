#include "gui/layout/LinearLayout.h"

#include <algorithm>

#include "framework/col/ArrayP.h"
#include "gui/layout/IBox.h"
#include "gui/layout/LayoutMath.h"

namespace s::gui::win {

namespace {

// A component seen along the stack (main) and across it (cross).
struct Axis {
  bool vertical;

  std::int32_t main(const IComponent* c) const { return vertical ? c->getHeight() : c->getWidth(); }
  std::int32_t cross(const IComponent* c) const {
    return vertical ? c->getWidth() : c->getHeight();
  }
  std::int32_t minMain(const IComponent* c) const {
    return vertical ? c->getMinHeight() : c->getMinWidth();
  }
  std::int32_t maxMain(const IComponent* c) const {
    return vertical ? c->getMaxHeight() : c->getMaxWidth();
  }
  std::int32_t minCross(const IComponent* c) const {
    return vertical ? c->getMinWidth() : c->getMinHeight();
  }
  std::int32_t maxCross(const IComponent* c) const {
    return vertical ? c->getMaxWidth() : c->getMaxHeight();
  }
  void sizeClamped(IComponent* c, std::int32_t cross, std::int32_t main) const {
    vertical ? c->setSizeClamped(cross, main) : c->setSizeClamped(main, cross);
  }
  void setMain(IComponent* c, std::int32_t main) const { sizeClamped(c, cross(c), main); }
  void place(IComponent* c, std::int32_t cross, std::int32_t main) const {
    vertical ? c->setPosition(cross, main) : c->setPosition(main, cross);
  }
};

}  // namespace

LinearLayout& LinearLayout::vertical() {
  static LinearLayout layout(true);
  return layout;
}

LinearLayout& LinearLayout::horizontal() {
  static LinearLayout layout(false);
  return layout;
}

LayoutResult LinearLayout::layout(IBox& box) {
  const Axis axis{vertical_};
  const auto* children = box.getChildren();
  const std::int32_t spacing = vertical_ ? box.getVSpacing() : box.getHSpacing();
  const std::int32_t innerMain = vertical_ ? box.getInnerHeight() : box.getInnerWidth();
  const std::int32_t innerCross = vertical_ ? box.getInnerWidth() : box.getInnerHeight();
  const std::int32_t mainAlign = vertical_ ? box.getVerticalAlign() : box.getHorizontalAlign();
  const std::int32_t crossAlign = vertical_ ? box.getHorizontalAlign() : box.getVerticalAlign();

  // 1. The width of the column (height of the row).
  std::int32_t g = innerCross;
  for (IComponent* c : *children) {
    g = std::max(g, axis.minCross(c));
  }

  // 2. Every child at full cross size within its limits and its minimum along the stack.
  std::int32_t minTotal = 0;
  std::int32_t maxTotal = 0;
  for (IComponent* c : *children) {
    axis.sizeClamped(c, g, 0);
    const std::int32_t size = axis.main(c);
    minTotal += size;
    maxTotal += std::max(axis.maxMain(c), size);
    if (size >= 1) {
      minTotal += spacing;
      maxTotal += spacing;
    }
  }
  if (!children->empty() && axis.main(children->last()) < 1) {
    minTotal -= spacing;
    maxTotal -= spacing;
  }

  // 3. The room along the stack.
  const std::int32_t m = std::max(innerMain, minTotal);
  std::int32_t extra = m - minTotal;

  // 4. Handing out the extra room.
  if (extra >= 1 && minTotal < maxTotal) {
    if (m < maxTotal) {
      const double f = static_cast<double>(extra) / (maxTotal - minTotal);
      std::int32_t given = 0;
      for (IComponent* c : *children) {
        const std::int32_t size = axis.main(c);
        const std::int32_t max = axis.maxMain(c);
        if (size < max) {
          const auto grow = static_cast<std::int32_t>((max - size) * f);
          if (grow > 0) {
            axis.setMain(c, size + grow);
            given += axis.main(c) - size;
          }
        }
      }
      std::int32_t left = extra - given;
      for (IComponent* c : *children) {
        if (left <= 0) {
          break;
        }
        const std::int32_t size = axis.main(c);
        const std::int32_t take = std::min(axis.maxMain(c) - size, left);
        if (take > 0) {
          axis.setMain(c, size + take);
          left -= axis.main(c) - size;
        }
      }
      extra = std::max(left, 0);
    } else {
      for (IComponent* c : *children) {
        axis.setMain(c, axis.maxMain(c));
      }
      extra = m - maxTotal;
    }
  }

  // 5. Placing the block and each child across it.
  std::int32_t pos = alignedOffset(extra, mainAlign);
  const IComponent* previous = nullptr;
  for (IComponent* c : *children) {
    if (previous != nullptr && axis.main(previous) >= 1) {
      pos += spacing;
    }
    const std::int32_t crossPos = alignedOffset(g - axis.cross(c), crossAlign);
    axis.place(c, crossPos, pos);
    pos += axis.main(c);
    previous = c;
  }

  // 6. The four numbers.
  std::int32_t minCross = 0;
  std::int32_t maxCross = 0;
  for (IComponent* c : *children) {
    minCross = std::max(minCross, axis.minCross(c));
    maxCross = std::max(maxCross, axis.maxCross(c));
  }
  if (vertical_) {
    return {minCross, minTotal, maxCross, maxTotal};
  }
  return {minTotal, minCross, maxTotal, maxCross};
}

}  // namespace s::gui::win
