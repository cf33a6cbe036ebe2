#include "gui/layout/FlowHLayout.h"

#include <algorithm>
#include <vector>

#include "gui/layout/Component.h"
#include "gui/layout/IBox.h"
#include "gui/layout/LayoutMath.h"

namespace s::gui::win {

namespace {

struct Line {
  std::uint32_t first = 0;
  std::uint32_t count = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t maxHeight = 0;
};

}  // namespace

FlowHLayout& FlowHLayout::instance() {
  static FlowHLayout layout;
  return layout;
}

LayoutResult FlowHLayout::layout(IBox& box) {
  const auto& children = *box.getChildren();
  const std::int32_t hs = box.getHSpacing();
  const std::int32_t vs = box.getVSpacing();

  // 1. The line width.
  std::int32_t m = box.getInnerWidth();
  for (IComponent* c : children) {
    m = std::max(m, c->getMinWidth());
  }

  // 2. Filling the lines.
  std::vector<Line> lines;
  bool lineHasShown = false;
  for (std::uint32_t i = 0; i < children.count(); ++i) {
    IComponent* c = children.at(i);
    c->setSizeClamped(m, 0);
    const std::int32_t w = c->getWidth();
    std::int32_t needed = (lineHasShown ? hs : 0) + w;
    if (lines.empty() || (lines.back().count > 0 && lines.back().width + needed > m)) {
      lines.push_back({i, 0, 0, 0, 0});
      lineHasShown = false;
      needed = w;
    }
    Line& line = lines.back();
    line.count++;
    line.width += needed;
    line.height = std::max(line.height, c->getHeight());
    line.maxHeight = std::max(line.maxHeight, std::max(c->getMaxHeight(), c->getHeight()));
    lineHasShown = lineHasShown || Component::shown(c);
  }
  auto totals = [&](bool maximum) {
    std::int32_t total = 0;
    for (const Line& line : lines) {
      total += maximum ? line.maxHeight : line.height;
    }
    return total + (lines.empty() ? 0 : vs * static_cast<std::int32_t>(lines.size() - 1));
  };
  const std::int32_t minTotal = totals(false);
  const std::int32_t maxTotal = totals(true);

  // 3. Growing the children into the extra height, line by line.
  std::int32_t extra = box.getInnerHeight() - minTotal;
  if (extra > 0 && maxTotal > minTotal) {
    const double f = std::min(1.0, static_cast<double>(extra) / (maxTotal - minTotal));
    for (Line& line : lines) {
      line.height = 0;
      for (std::uint32_t i = line.first; i < line.first + line.count; ++i) {
        IComponent* c = children.at(i);
        const std::int32_t h = c->getHeight();
        const auto grow = static_cast<std::int32_t>((std::max(c->getMaxHeight(), h) - h) * f);
        if (grow > 0) {
          c->setSizeClamped(c->getWidth(), h + grow);
        }
        line.height = std::max(line.height, c->getHeight());
      }
    }
    extra = box.getInnerHeight() - totals(false);
  }

  // 4. Aligning the block and each line.
  std::int32_t y = alignedOffset(extra, box.getVerticalAlign());
  for (const Line& line : lines) {
    std::int32_t x = alignedOffset(m - line.width, box.getHorizontalAlign());
    bool hasShown = false;
    for (std::uint32_t i = line.first; i < line.first + line.count; ++i) {
      IComponent* c = children.at(i);
      if (hasShown) {
        x += hs;
      }
      c->setPosition(x, y);
      x += c->getWidth();
      hasShown = hasShown || Component::shown(c);
    }
    y += line.height + vs;
  }

  // 5. The four numbers.
  LayoutResult result{0, minTotal, 0, maxTotal};
  for (std::uint32_t i = 0; i < children.count(); ++i) {
    IComponent* c = children.at(i);
    result.contentMinWidth = std::max(result.contentMinWidth, c->getMinWidth());
    result.contentMaxWidth += c->getMaxWidth() + (i > 0 ? hs : 0);
  }
  return result;
}

}  // namespace s::gui::win
