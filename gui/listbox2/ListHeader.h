#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/MaybeOwned.h"
#include "framework/base/Pooled.h"
#include "framework/col/Array.h"
#include "gui/drawer/IListHeader.h"
#include "gui/drawer/listheader/Basic.h"
#include "gui/layout/Component.h"
#include "gui/widgets/Font.h"

namespace s::gui::win {

class ListBox2;

// The column titles above a list's rows, drawn by the header drawer with the sort arrow on the
// first sort key. The user resizes a column by dragging the divider at its right edge (not the
// last one shown, and not to 9 pixels or narrower), moves one by dragging its title, and sorts
// by clicking it (the list's events 32, then the sort when the column is sortable, then 6).
// Keeps the column shown at each position (the order) and each column's width.
class ListHeader final : public Pooled<ListHeader, Component> {
 public:
  // Pixels each side of a divider that take it.
  static constexpr std::int32_t kDividerSlop = 4;
  // Narrower columns are refused.
  static constexpr std::int32_t kMinColumnWidth = 10;
  // How far a title moves before it is being dragged rather than clicked.
  static constexpr std::int32_t kDragThreshold = 4;

  ListHeader();

  void attach(ListBox2* list) { list_ = list; }
  // The height set, else the font's line with a margin.
  std::int32_t headerHeight() const;
  void setHeaderHeight(std::int32_t px);
  const Font& font() const { return font_; }
  void setFontSizeCode(std::int32_t code);
  // A drawer of the caller's (owned: released with the header) instead of the skin's.
  void setDrawer(drawer::IListHeader* drawer, bool owned);

  // The column index shown at each position, and each column's width by index.
  const col::ArrayS32& order() const { return order_; }
  const col::ArrayS32& widths() const { return widths_; }
  std::int32_t columnWidth(std::uint32_t column) const;
  // Where a position starts, in the list's header pixels before scrolling.
  std::int32_t positionLeft(std::uint32_t position) const;
  std::int32_t totalWidth() const;

  // The list's own changes.
  void columnAdded(std::uint32_t column, std::int32_t width);
  void setOrder(const col::ArrayS32& order);

  // The user's gesture in progress, for drawing and tests: -1 when none.
  std::int32_t hotPosition() const { return hot_; }
  std::int32_t resizingColumn() const { return resizing_; }
  std::int32_t movingPosition() const { return dragging_ ? pressed_ : -1; }

  void paint(cairo_t* cr) override;
  bool handleInput(const platform::ui::Event& event, std::int32_t x, std::int32_t y) override;
  platform::ui::PointerShape cursorAt(std::int32_t x, std::int32_t y) const override;
  void captureLost() override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_ListHeader"; }

 protected:
  void destroyPlatform() override;

 private:
  drawer::IListHeader* headerDrawer();
  // x in the header's pixels, scrolling included.
  std::int32_t scrolled(std::int32_t x) const;
  std::int32_t positionAt(std::int32_t x) const;
  // The column whose right divider is at x, -1 for none.
  std::int32_t dividerAt(std::int32_t x) const;
  // Where a title dropped at x goes.
  std::int32_t dropPositionAt(std::int32_t x) const;
  void setHot(std::int32_t position);
  void endGesture();

  ListBox2* list_ = nullptr;
  std::int32_t height_ = -1;
  // The font's line, measured when the font changes.
  std::int32_t fontHeight_ = 0;
  // Held by value, not taken from their pools, which may go first at exit.
  Font font_;
  MaybeOwned<drawer::IListHeader> drawer_;
  drawer::listheader::win::Basic basic_;
  col::ArrayS32 order_;
  col::ArrayS32 widths_;
  std::int32_t hot_ = -1;
  std::int32_t pressed_ = -1;
  std::int32_t resizing_ = -1;
  std::int32_t resizeStartX_ = 0;
  std::int32_t resizeStartWidth_ = 0;
  bool dragging_ = false;
  std::int32_t pressX_ = 0;
  std::int32_t dragX_ = 0;
};

}  // namespace s::gui::win
