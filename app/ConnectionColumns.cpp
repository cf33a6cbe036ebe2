#include "app/ConnectionColumns.h"

#include <span>

#include "framework/lang/TextIds.h"
#include "gui/listbox2/Comparators.h"
#include "gui/listbox2/DataType.h"

namespace s::app {
namespace {

namespace lb = gui::listbox2;
namespace ids = lang::text;

struct Column {
  int32_t titleTextId;
  int32_t width;
  int32_t alignment;
  lb::CellComparator comparator;
  bool showsIcon;
};

constexpr Column kCurrentColumns[] = {
    {ids::kColumnProtocol, 50, lb::kAlignLeft, lb::compareTextBinary, false},
    {ids::kColumnState, 80, lb::kAlignLeft, lb::compareTextBinary, false},
    {ids::kColumnProcessId, 70, lb::kAlignRight, lb::compareUInt32, false},
    {ids::kColumnProcessName, 90, lb::kAlignLeft, lb::compareTextNoCase, true},
    {ids::kColumnLocal, 70, lb::kAlignRight, lb::compareTextNoCase, false},
    {ids::kColumnLocalPort, 65, lb::kAlignLeft, lb::compareInt32, false},
    {ids::kColumnRemote, 90, lb::kAlignRight, lb::compareTextNoCase, false},
    {ids::kColumnRemotePort, 57, lb::kAlignLeft, lb::compareInt32, false},
    {ids::kColumnReceived, 70, lb::kAlignRight, lb::compareInt64, false},
    {ids::kColumnSent, 70, lb::kAlignRight, lb::compareInt64, false},
    {ids::kColumnDuration, 80, lb::kAlignRight, lb::compareInt64, false},
    {ids::kColumnProcessPath, 600, lb::kAlignLeft, lb::compareTextNoCase, false},
};

constexpr Column kLogColumns[] = {
    {ids::kColumnProtocol, 50, lb::kAlignLeft, lb::compareTextBinary, false},
    {ids::kColumnEnd, 100, lb::kAlignLeft, lb::compareInt64Descending, false},
    {ids::kColumnProcessId, 70, lb::kAlignRight, lb::compareUInt32, false},
    {ids::kColumnProcessName, 90, lb::kAlignLeft, lb::compareTextNoCase, true},
    {ids::kColumnLocal, 70, lb::kAlignRight, lb::compareTextNoCase, false},
    {ids::kColumnLocalPort, 65, lb::kAlignLeft, lb::compareInt32, false},
    {ids::kColumnRemote, 90, lb::kAlignRight, lb::compareTextNoCase, false},
    {ids::kColumnRemotePort, 57, lb::kAlignLeft, lb::compareInt32, false},
    {ids::kColumnReceived, 70, lb::kAlignRight, lb::compareInt64, false},
    {ids::kColumnSent, 70, lb::kAlignRight, lb::compareInt64, false},
    {ids::kColumnDuration, 80, lb::kAlignRight, lb::compareInt64, false},
    {ids::kColumnStart, 100, lb::kAlignLeft, lb::compareInt64Descending, false},
    {ids::kColumnProcessPath, 600, lb::kAlignLeft, lb::compareTextNoCase, false},
};

// Every column sortable and ascending, without check boxes, editing or tree.
void addColumns(gui::IListBox2& list, lang::Localizer* localizer, std::span<const Column> columns) {
  for (const Column& c : columns) {
    list.addColumn({.localizer = localizer,
                    .titleTextId = c.titleTextId,
                    .width = c.width,
                    .alignment = c.alignment,
                    .comparator = c.comparator,
                    .showsIcon = c.showsIcon});
  }
}

}  // namespace

void addCurrentColumns(gui::IListBox2& list, lang::Localizer* localizer) {
  addColumns(list, localizer, kCurrentColumns);
  // Each call flips the column's direction and puts it first: twice keeps the start direction.
  for (uint32_t column :
       {current::kProcessId, current::kProcessId, current::kProtocol, current::kProtocol}) {
    list.sortByColumn(column);
  }
}

void addLogColumns(gui::IListBox2& list, lang::Localizer* localizer) {
  addColumns(list, localizer, kLogColumns);
  for (uint32_t column : {logged::kProtocol, logged::kProtocol, logged::kEnd, logged::kEnd}) {
    list.sortByColumn(column);
  }
}

}  // namespace s::app
