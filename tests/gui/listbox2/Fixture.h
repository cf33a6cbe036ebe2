#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/IEventListener.h"
#include "gui/listbox2/Comparators.h"
#include "gui/listbox2/IListView.h"
#include "gui/listbox2/ListBox2.h"

namespace listbox2_test {

namespace lb = s::gui::listbox2;
using lb::Record;
using s::gui::win::ListBox2;

// Columns: 0 name (text, no case), 1 pid (unsigned), 2 bytes (boxed 64-bit), 3 tag (a
// number, not sortable: it tells rows apart in the tests).
inline constexpr uint32_t kName = 0;
inline constexpr uint32_t kPid = 1;
inline constexpr uint32_t kBytes = 2;
inline constexpr uint32_t kTag = 3;

inline void addTestColumns(ListBox2& list) {
  list.addColumn(u"Name", 90, lb::kAlignLeft, true, lb::compareTextNoCase, true, false, false,
                 false, false);
  list.addColumn(u"Pid", 70, lb::kAlignRight, true, lb::compareUInt32, true, false, false, false,
                 false);
  list.addColumn(u"Bytes", 70, lb::kAlignRight, true, lb::compareInt64, true, false, false, false,
                 false);
  list.addColumn(u"Tag", 40, lb::kAlignRight, false, lb::compareUInt32, true, false, false, false,
                 false);
}

inline Record* makeRow(std::u16string_view name, uint32_t pid, int64_t bytes, uint32_t tag) {
  Record* record = lb::newRecord(4, nullptr).release();
  lb::appendCell(record, lb::newCell(lb::textValue(name), lb::textValueOwner(), lb::showText));
  lb::appendCell(record, lb::newCell(pid, nullptr, lb::showU32));
  lb::appendCell(record,
                 lb::newCell(lb::int64Value(bytes), lb::int64ValueOwner(), lb::showByteSize));
  lb::appendCell(record, lb::newCell(tag, nullptr, lb::showU32));
  return record;
}

inline uint32_t tagOf(const Record* record) {
  return static_cast<uint32_t>(record->cell(kTag)->value());
}

// The tags of the rows in display order.
inline std::vector<uint32_t> tags(ListBox2& list) {
  std::vector<uint32_t> out;
  for (uint32_t row = 0; row < list.recordCount(); ++row) {
    Record* record = list.getRecord(row);
    EXPECT_EQ(record->row(), row);
    out.push_back(tagOf(record));
  }
  return out;
}

// Writes down the values it is given to dispose of.
class CountingOwner final : public s::IDestructor<void> {
 public:
  void destroy(void*& slot) override {
    disposed.push_back(reinterpret_cast<lb::CellValue>(slot));
    slot = nullptr;
  }
  std::vector<lb::CellValue> disposed;
};

// Writes down every event it hears.
class EventLog final : public s::gui::events::IEventListener {
 public:
  void listenTo(ListBox2& list) {
    for (s::gui::ListEvent event :
         {s::gui::kEventSelectionChanged, s::gui::kEventDeselected, s::gui::kEventFirstSelected,
          s::gui::kEventSelectionEmptied, s::gui::kEventChecked, s::gui::kEventUnchecked,
          s::gui::kEventSorted}) {
      list.addListener(event, this);
    }
  }
  void onEvent(s::IObject* /*source*/, int32_t code) override { codes.push_back(code); }
  std::vector<int32_t> codes;
};

// Writes down what the view is told, as short texts ("insert 3" is the tag of the row).
class ViewLog final : public lb::IListView {
 public:
  void columnAdded(uint32_t column) override { add("column", column); }
  void columnOrderChanged() override { calls.emplace_back("order"); }
  void rowInserted(Record& record) override { add("insert", tagOf(&record), record.row()); }
  void rowRemoving(Record& record) override { add("remove", tagOf(&record), record.row()); }
  void cellChanged(Record& record, uint32_t column) override {
    add("cell", tagOf(&record), column);
  }
  void rowChanged(Record& record) override { add("row", tagOf(&record)); }
  void columnChanged(uint32_t column) override { add("refresh", column); }
  void rowsSorted() override { calls.emplace_back("sorted"); }
  void updateBegun() override { calls.emplace_back("begin"); }
  void updateEnded() override { calls.emplace_back("end"); }
  void showRow(Record& record) override { add("show", tagOf(&record)); }
  // Behaves like the platform control: the state change comes back as a notification.
  void setRowSelected(Record& record, bool selected) override {
    add(selected ? "select" : "deselect", tagOf(&record));
    list->itemStateChanged(&record, selected ? s::gui::kRowSelected : 0,
                           selected ? 0 : s::gui::kRowSelected);
  }

  ListBox2* list = nullptr;
  std::vector<std::string> calls;

 private:
  void add(const char* what, uint32_t a) {
    calls.push_back(std::string(what) + " " + std::to_string(a));
  }
  void add(const char* what, uint32_t a, uint32_t b) {
    calls.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
  }
};

}  // namespace listbox2_test
