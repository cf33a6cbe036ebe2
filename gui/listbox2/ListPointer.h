#pragma once

#include <cairo.h>

#include <cstdint>

#include "platform/ui/Event.h"
#include "platform/ui/PointerShape.h"

namespace s::gui {
class IComponent;
}
namespace s::gui::win {
class ListBox2;
}

namespace s::gui::listbox2 {

class Record;

// What a list does with the mouse: presses that select (with Ctrl and Shift), the check boxes,
// tree toggles and hot areas of cells, double clicks, drag selection, dragging rows inside the
// list or onto a drop target, the wheel, the right button's menu, and the presses it leaves to
// the window beneath (the middle button, and the empty area when it is transparent).
class ListPointer {
 public:
  // Rows dragged this near an edge of the rows scroll the list, every 50 ms.
  static constexpr std::int32_t kAutoScrollEdge = 10;
  static constexpr std::uint32_t kAutoScrollMs = 50;
  static constexpr std::uint32_t kAutoScrollTimer = 1;

  explicit ListPointer(win::ListBox2& list) : list_(list) {}
  ~ListPointer();
  ListPointer(const ListPointer&) = delete;
  ListPointer& operator=(const ListPointer&) = delete;

  bool handle(const platform::ui::Event& event, std::int32_t x, std::int32_t y);
  platform::ui::PointerShape cursor() const;
  // The button is up whatever happened to it: a drag in progress ends where it is.
  void captureLost();
  void reset();
  // The record leaves the list: nothing refers to it any more.
  void forget(const Record& record);

  bool isDraggingRows() const { return dragging_; }
  // Where the line that shows the drop goes while rows are dragged over the list: its top
  // and its height (2 pixels after the last row, else 1).
  bool insertionLine(std::int32_t& y, std::int32_t& height) const;
  // The picture of the dragged rows under the pointer.
  void paintDragImage(cairo_t* cr) const;

 private:
  bool leftPress(const platform::ui::Event& event, std::int32_t x, std::int32_t y);
  bool doubleClick(std::int32_t x, std::int32_t y);
  bool rightPress(const platform::ui::Event& event, std::int32_t x, std::int32_t y);
  bool leftRelease(std::int32_t x, std::int32_t y);
  void motion(std::int32_t x, std::int32_t y);
  bool wheel(const platform::ui::Event& event, std::int32_t x, std::int32_t y);
  // A press on a cell's check box, tree toggle or hot area; true when the box or toggle took it.
  bool pressCellParts(Record& record, std::int32_t x, std::int32_t y, bool& hotArea);
  void extendDragSelection(std::uint32_t row);
  void beginRowDrag();
  void dragTo(std::int32_t x, std::int32_t y);
  void endRowDrag(bool drop);
  void autoScroll();
  void trackHotCell(std::int32_t x, std::int32_t y);
  // The cell whose hot area is at (x, y).
  bool hotAreaAt(std::int32_t x, std::int32_t y, Record*& record, std::int32_t& column) const;
  void hold(bool held);
  // The component under the pointer (screen coordinates) that takes dragged rows.
  IComponent* dropTargetAt(std::int32_t rootX, std::int32_t rootY) const;

  win::ListBox2& list_;
  bool leftHeld_ = false;
  std::int32_t pressX_ = 0;
  std::int32_t pressY_ = 0;
  // A plain click on a selected row, when rows can be dragged, selects it alone only on the
  // release, so that the selection can be dragged.
  bool selectOnRelease_ = false;
  Record* pressed_ = nullptr;
  std::uint32_t pressedStamp_ = 0;
  // Dragging rows: where the pointer is, the row the rows would go before (the row count for
  // the end) and the component under the pointer.
  bool dragging_ = false;
  std::int32_t dragX_ = 0;
  std::int32_t dragY_ = 0;
  std::int32_t rootX_ = 0;
  std::int32_t rootY_ = 0;
  bool overList_ = false;
  std::uint32_t dropRow_ = 0;
  IComponent* overTarget_ = nullptr;
  cairo_surface_t* dragImage_ = nullptr;
  std::int32_t dragImageY_ = 0;  // the image's top relative to the pressed point
};

}  // namespace s::gui::listbox2
