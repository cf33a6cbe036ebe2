#include "app/ConnectionRows.h"

#include <atomic>

#include "app/ConnectionColumns.h"
#include "framework/time/TimeText.h"
#include "gui/listbox2/SubRecord.h"
#include "network/ConnectionRecord.h"

namespace s::app {
namespace {

namespace lb = gui::listbox2;
using system::network::IConnection;

std::atomic<time::TimeMs> durationClock{0};

void showPort(lb::CellValue value, str::StrBuffer& text) {
  auto port = static_cast<int32_t>(static_cast<uint32_t>(value));
  if (port < 0) {
    text.clear();
  } else {
    text.assignS32(port);
  }
}

void showPid(lb::CellValue value, str::StrBuffer& text) {
  system::network::formatPid(text, static_cast<int32_t>(static_cast<uint32_t>(value)));
}

void showAge(lb::CellValue value, str::StrBuffer& text) {
  time::formatDurationShort(text,
                            durationClock.load(std::memory_order_relaxed) - lb::int64Of(value));
}

void showDuration(lb::CellValue value, str::StrBuffer& text) {
  time::formatDurationShort(text, lb::int64Of(value));
}

void showDateTime(lb::CellValue value, str::StrBuffer& text) {
  time::formatDateTime(text, lb::int64Of(value));
}

void addText(lb::Record* row, std::u16string_view text) {
  lb::appendCell(row, lb::newCell(lb::textValue(text), lb::textValueOwner(), lb::showText));
}

void addInt64(lb::Record* row, int64_t value, lb::ToText toText) {
  lb::appendCell(row, lb::newCell(lb::int64Value(value), lb::int64ValueOwner(), toText));
}

void addPort(lb::Record* row, int32_t port) {
  lb::appendCell(row, lb::newCell(static_cast<uint32_t>(port), nullptr, showPort));
}

// The icon of the program file, the path part empty when the path is unknown.
void addProcessName(lb::Record* row, IConnection& connection) {
  PoolPtr<str::StrBuffer> icon = str::StrBuffer::make();
  if (connection.hasProcessPath()) {
    icon->assign(connection.getProcessPath());
  }
  icon->append(u",0");
  lb::appendCell(row, lb::newCell(lb::textValue(connection.getProcessName()), lb::textValueOwner(),
                                  lb::showText, icon->view()));
}

std::u16string_view localText(IConnection& connection) {
  return connection.isHostNameShown() ? connection.getLocalHostText()
                                      : connection.getLocalAddressText();
}

std::u16string_view remoteText(IConnection& connection) {
  return connection.isHostNameShown() ? connection.getRemoteHostText()
                                      : connection.getRemoteAddressText();
}

// The cells from Process ID to Remote Port, which both rows share.
void addEndpoints(lb::Record* row, IConnection& connection) {
  lb::appendCell(row, lb::newCell(static_cast<uint32_t>(connection.getPid()), nullptr, showPid));
  addProcessName(row, connection);
  addText(row, localText(connection));
  addPort(row, connection.getLocalPort());
  addText(row, remoteText(connection));
  addPort(row, connection.getRemotePort());
  addInt64(row, connection.getReceivedBytes(), lb::showByteSize);
  addInt64(row, connection.getSentBytes(), lb::showByteSize);
}

lb::Record* rowOf(IConnection& connection) {
  return static_cast<lb::Record*>(connection.getViewRecord());
}

void setCell(gui::IListBox2& list, IConnection& connection, uint32_t column, lb::CellValue value,
             IDestructor<void>* owner) {
  lb::Record* row = rowOf(connection);
  if (row == nullptr) {
    lb::disposeValue(value, owner);
    return;
  }
  list.giveValue(row, row->stamp(), column, value, owner);
}

}  // namespace

PoolPtr<lb::Record> makeCurrentRow(IConnection& connection) {
  PoolPtr<lb::Record> row(lb::newRecord(current::kCellCount, &connection));
  addText(row.get(), connection.getProtocolText());
  addText(row.get(), connection.getStateText());
  addEndpoints(row.get(), connection);
  addInt64(row.get(), connection.getStartTime(), showAge);
  addText(row.get(), connection.getProcessPath());
  return row;
}

PoolPtr<lb::Record> makeLogRow(IConnection& connection) {
  PoolPtr<lb::Record> row(lb::newRecord(logged::kCellCount, &connection));
  addText(row.get(), connection.getProtocolText());
  addInt64(row.get(), connection.getEndTime(), showDateTime);
  addEndpoints(row.get(), connection);
  addInt64(row.get(), connection.getDuration(), showDuration);
  addInt64(row.get(), connection.getStartTime(), showDateTime);
  addText(row.get(), connection.getProcessPath());
  return row;
}

void setDurationClock(time::TimeMs now) {
  durationClock.store(now, std::memory_order_relaxed);
}

void setTextCell(gui::IListBox2& list, IConnection& connection, uint32_t column,
                 std::u16string_view text) {
  setCell(list, connection, column, lb::textValue(text), lb::textValueOwner());
}

void setInt64Cell(gui::IListBox2& list, IConnection& connection, uint32_t column, int64_t value) {
  setCell(list, connection, column, lb::int64Value(value), lb::int64ValueOwner());
}

}  // namespace s::app
