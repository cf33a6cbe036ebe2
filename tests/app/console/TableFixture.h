#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/listbox2/CellValue.h"
#include "gui/listbox2/Comparators.h"
#include "gui/listbox2/DataType.h"
#include "gui/listbox2/ListBox2.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/SubRecord.h"

namespace s::app::console::test {

namespace lb = gui::listbox2;

// A small list for the renderers: Proto (left), Pid (right), Path (left).
inline PoolPtr<gui::win::ListBox2> smallList() {
  PoolPtr<gui::win::ListBox2> list = gui::win::ListBox2::make();
  list->addColumn(u"Proto", 50, lb::kAlignLeft, true, lb::compareTextBinary, true, false, false,
                  false, false);
  list->addColumn(u"Pid", 70, lb::kAlignRight, true, lb::compareUInt32, true, false, false, false,
                  false);
  list->addColumn(u"Path", 600, lb::kAlignLeft, true, lb::compareTextNoCase, true, false, false,
                  false, false);
  return list;
}

inline void addRow(gui::win::ListBox2& list, std::u16string_view protocol, uint32_t pid,
                   std::u16string_view path) {
  lb::Record* record = lb::newRecord(3, nullptr).release();
  lb::appendCell(record, lb::newCell(lb::textValue(protocol), lb::textValueOwner(), lb::showText));
  lb::appendCell(record, lb::newCell(pid, nullptr, lb::showU32));
  lb::appendCell(record, lb::newCell(lb::textValue(path), lb::textValueOwner(), lb::showText));
  list.appendRecord(record);
}

}  // namespace s::app::console::test
