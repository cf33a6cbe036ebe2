#include "gui/listbox2/ListHeader.h"

#include <algorithm>
#include <cstdlib>

#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"
#include "gui/listbox2/ListBox2.h"
#include "gui/widgets/Skinned.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::PointerShape;

namespace {
constexpr std::int32_t kHeaderSizeCode = -2;
// Above and below the title's line.
constexpr std::int32_t kTitleMargin = 6;
// A width of 0 leaves it to us: the title with room around it.
constexpr std::int32_t kTitleRoom = 16;
}  // namespace

ListHeader::ListHeader() {
  setTransparent(false);
  font_.setSizeCode(kHeaderSizeCode);
  fontHeight_ = font_.measureHeight();
}

void ListHeader::reset() {
  Component::reset();
  setTransparent(false);
  list_ = nullptr;
  height_ = -1;
  font_.reset();
  font_.setSizeCode(kHeaderSizeCode);
  fontHeight_ = font_.measureHeight();
  drawer_.reset();
  order_.freeMemory();
  widths_.freeMemory();
  hot_ = pressed_ = resizing_ = -1;
  resizeStartX_ = resizeStartWidth_ = 0;
  dragging_ = false;
  pressX_ = dragX_ = 0;
}

std::int32_t ListHeader::headerHeight() const {
  return height_ >= 0 ? height_ : fontHeight_ + kTitleMargin;
}

void ListHeader::setHeaderHeight(std::int32_t px) {
  runSync([&] {
    height_ = std::max(px, 0);
    if (list_ != nullptr) {
      list_->relayout();
      list_->invalidate();
    }
  });
}

void ListHeader::setFontSizeCode(std::int32_t code) {
  runSync([&] {
    if (!font_.setSizeCode(code)) {
      return;
    }
    fontHeight_ = font_.measureHeight();
    if (list_ != nullptr) {
      list_->relayout();
      list_->invalidate();
    }
  });
}

void ListHeader::setDrawer(drawer::IListHeader* drawer, bool owned) {
  runSync([&] {
    drawer_.set(drawer, owned);
    invalidate();
  });
}

drawer::IListHeader* ListHeader::headerDrawer() {
  if (drawer_.get() != nullptr) {
    return drawer_.get();
  }
  drawer::ISkin* skin = skinOf(*this);
  if (skin != nullptr && skin->getListHeader() != nullptr) {
    return skin->getListHeader();
  }
  return &basic_;
}

std::int32_t ListHeader::columnWidth(std::uint32_t column) const {
  return column < widths_.count() ? widths_[column] : 0;
}

std::int32_t ListHeader::positionLeft(std::uint32_t position) const {
  std::int32_t left = 0;
  for (std::uint32_t p = 0; p < position && p < order_.count(); ++p) {
    left += columnWidth(static_cast<std::uint32_t>(order_[p]));
  }
  return left;
}

std::int32_t ListHeader::totalWidth() const {
  return positionLeft(order_.count());
}

void ListHeader::columnAdded(std::uint32_t column, std::int32_t width) {
  if (width <= 0 && list_ != nullptr && list_->getColumn(column) != nullptr) {
    width = drawer::TextLayout::measure(list_->getColumn(column)->title(), &font_, 0).width +
            kTitleRoom;
  }
  while (widths_.count() <= column) {
    widths_.push(0);
  }
  widths_[column] = std::max(width, kMinColumnWidth);
  order_.push(static_cast<std::int32_t>(column));
  invalidate();
}

void ListHeader::setOrder(const col::ArrayS32& order) {
  order_.clear();
  order_.append(order.data(), order.count());
  invalidate();
}

std::int32_t ListHeader::scrolled(std::int32_t x) const {
  return x + (list_ != nullptr ? list_->scrollX() : 0);
}

std::int32_t ListHeader::positionAt(std::int32_t x) const {
  const std::int32_t at = scrolled(x);
  std::int32_t left = 0;
  for (std::uint32_t p = 0; p < order_.count(); ++p) {
    const std::int32_t width = columnWidth(static_cast<std::uint32_t>(order_[p]));
    if (at >= left && at < left + width) {
      return static_cast<std::int32_t>(p);
    }
    left += width;
  }
  return -1;
}

std::int32_t ListHeader::dividerAt(std::int32_t x) const {
  const std::int32_t at = scrolled(x);
  std::int32_t best = -1;
  std::int32_t bestDistance = kDividerSlop + 1;
  std::int32_t right = 0;
  for (std::uint32_t p = 0; p < order_.count(); ++p) {
    right += columnWidth(static_cast<std::uint32_t>(order_[p]));
    const std::int32_t distance = std::abs(at - right);
    // On a tie the later divider wins, so that a narrow column can still be widened.
    if (distance <= bestDistance) {
      best = static_cast<std::int32_t>(p);
      bestDistance = distance;
    }
  }
  return best;
}

std::int32_t ListHeader::dropPositionAt(std::int32_t x) const {
  const std::int32_t at = scrolled(x);
  std::int32_t left = 0;
  for (std::uint32_t p = 0; p < order_.count(); ++p) {
    const std::int32_t width = columnWidth(static_cast<std::uint32_t>(order_[p]));
    if (at < left + width / 2) {
      return static_cast<std::int32_t>(p);
    }
    left += width;
  }
  return static_cast<std::int32_t>(order_.count());
}

void ListHeader::paint(cairo_t* cr) {
  drawer::IListHeader* drawer = headerDrawer();
  const std::int32_t height = getHeight();
  const std::int32_t scroll = list_ != nullptr ? list_->scrollX() : 0;
  const col::ArrayU32* keys = list_ != nullptr ? &list_->list().sortKeys() : nullptr;
  std::int32_t x = -scroll;
  for (std::uint32_t p = 0; p < order_.count(); ++p) {
    const auto column = static_cast<std::uint32_t>(order_[p]);
    const std::int32_t width = columnWidth(column);
    const listbox2::DataType* type = list_ != nullptr ? list_->getColumn(column) : nullptr;
    if (type != nullptr && x + width > 0 && x < getWidth()) {
      const auto position = static_cast<std::int32_t>(p);
      const std::int32_t state = pressed_ == position && !dragging_ ? 2 : hot_ == position ? 1 : 0;
      std::int32_t sort = 0;
      if (type->sortable() && keys != nullptr && !keys->empty() && keys->at(0) == column) {
        sort = type->ascending() ? 1 : -1;
      }
      drawer->paintHeader(cr, {x, 0, width, height}, type->title(), &font_, state, sort);
    }
    x += width;
  }
  if (x < getWidth()) {
    drawer->paintHeader(cr, {x, 0, getWidth() - x, height}, u"", &font_, 0, 0);
  }
  if (!dragging_ || pressed_ < 0 || static_cast<std::uint32_t>(pressed_) >= order_.count()) {
    return;
  }
  // The dragged title under the pointer, and a mark where it would go.
  const auto column = static_cast<std::uint32_t>(order_[static_cast<std::uint32_t>(pressed_)]);
  const std::int32_t left = positionLeft(static_cast<std::uint32_t>(pressed_)) - scroll;
  const listbox2::DataType* type = list_ != nullptr ? list_->getColumn(column) : nullptr;
  cairo_push_group(cr);
  drawer->paintHeader(cr, {left + dragX_ - pressX_, 0, columnWidth(column), height},
                      type != nullptr ? type->title() : u"", &font_, 2, 0);
  cairo_pop_group_to_source(cr);
  cairo_paint_with_alpha(cr, 0.6);
  const std::int32_t mark =
      positionLeft(static_cast<std::uint32_t>(dropPositionAt(dragX_))) - scroll;
  drawer::shapes::fill(cr, {mark - 1, 0, 2, height}, drawer->getColour(0));
}

void ListHeader::setHot(std::int32_t position) {
  if (hot_ != position) {
    hot_ = position;
    invalidate();
  }
}

void ListHeader::endGesture() {
  if (Window* window = windowOf(*this)) {
    window->releaseCapture(this);
  }
  if (pressed_ >= 0 || resizing_ >= 0 || dragging_) {
    invalidate();
  }
  pressed_ = resizing_ = -1;
  dragging_ = false;
}

void ListHeader::captureLost() {
  endGesture();
  setHot(-1);
}

void ListHeader::destroyPlatform() {
  endGesture();
  Component::destroyPlatform();
}

PointerShape ListHeader::cursorAt(std::int32_t x, std::int32_t /*y*/) const {
  if (resizing_ >= 0) {
    return PointerShape::kSizeRight;
  }
  const std::int32_t divider = pressed_ < 0 ? dividerAt(x) : -1;
  // The last column's divider does not move.
  if (divider >= 0 && static_cast<std::uint32_t>(divider) + 1 < order_.count()) {
    return PointerShape::kSizeRight;
  }
  return PointerShape::kInherit;
}

bool ListHeader::handleInput(const Event& event, std::int32_t x, std::int32_t y) {
  Window* window = windowOf(*this);
  const bool inside = x >= 0 && y >= 0 && x < getWidth() && y < getHeight();
  switch (event.kind) {
    case EventKind::kMotion:
      if (resizing_ >= 0) {
        const auto column =
            static_cast<std::uint32_t>(order_[static_cast<std::uint32_t>(resizing_)]);
        const std::int32_t width = resizeStartWidth_ + x - resizeStartX_;
        // Too narrow a column is refused: it keeps the last width it was given.
        if (width >= kMinColumnWidth && width != widths_[column]) {
          widths_[column] = width;
          invalidate();
          if (list_ != nullptr) {
            list_->columnResized();
          }
        }
      } else if (pressed_ >= 0) {
        if (!dragging_ && std::abs(x - pressX_) > kDragThreshold) {
          dragging_ = true;
          hot_ = -1;
        }
        if (dragging_) {
          dragX_ = x;
          invalidate();
        }
      } else {
        setHot(inside ? positionAt(x) : -1);
        if (window != nullptr) {
          if (inside) {
            window->setCapture(this);
          } else {
            window->releaseCapture(this);
          }
        }
      }
      return true;
    case EventKind::kLeave:
      if (pressed_ < 0 && resizing_ < 0) {
        setHot(-1);
        if (window != nullptr) {
          window->releaseCapture(this);
        }
      }
      return true;
    case EventKind::kButtonPress: {
      if (event.button != 1) {
        return false;
      }
      if (!inside) {
        return true;
      }
      const std::int32_t divider = dividerAt(x);
      if (divider >= 0) {
        // Dragging the last column's divider is refused, and the press does nothing else.
        if (static_cast<std::uint32_t>(divider) + 1 < order_.count()) {
          resizing_ = divider;
          resizeStartX_ = x;
          resizeStartWidth_ =
              columnWidth(static_cast<std::uint32_t>(order_[static_cast<std::uint32_t>(divider)]));
          if (window != nullptr) {
            window->setCapture(this);
          }
        }
        return true;
      }
      pressed_ = positionAt(x);
      pressX_ = dragX_ = x;
      dragging_ = false;
      if (pressed_ >= 0 && window != nullptr) {
        window->setCapture(this);
      }
      invalidate();
      return true;
    }
    case EventKind::kButtonRelease: {
      if (event.button != 1) {
        return false;
      }
      const std::int32_t from = pressed_;
      const bool moved = dragging_;
      const bool resized = resizing_ >= 0;
      endGesture();
      setHot(inside ? positionAt(x) : -1);
      // Held again as hovering holds it, so that the pointer's going away clears the highlight.
      if (inside && window != nullptr) {
        window->setCapture(this);
      }
      if (resized || from < 0 || list_ == nullptr) {
        return true;
      }
      if (!moved) {
        if (positionAt(x) == from) {
          list_->headerClicked(
              static_cast<std::uint32_t>(order_[static_cast<std::uint32_t>(from)]));
        }
        return true;
      }
      std::int32_t to = dropPositionAt(x);
      if (to == from || to == from + 1) {
        return true;
      }
      const std::int32_t column = order_[static_cast<std::uint32_t>(from)];
      order_.removeRange(static_cast<std::uint32_t>(from), 1);
      if (to > from) {
        --to;
      }
      order_.insert(static_cast<std::uint32_t>(to), &column, 1);
      list_->columnsMoved(order_);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace s::gui::win
