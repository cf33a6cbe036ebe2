#include "app/FilteredRows.h"

#include "app/ConnectionColumns.h"
#include "gui/listbox2/SubRecord.h"

namespace s::app {

namespace {

namespace lb = gui::listbox2;

static_assert(logged::kProtocol == current::kProtocol &&
              logged::kProcessId == current::kProcessId &&
              logged::kProcessName == current::kProcessName && logged::kLocal == current::kLocal &&
              logged::kLocalPort == current::kLocalPort && logged::kRemote == current::kRemote &&
              logged::kRemotePort == current::kRemotePort);

std::u16string_view cellText(lb::Record& row, uint32_t column) {
  lb::SubRecord* cell = row.cell(column);
  return cell == nullptr ? std::u16string_view() : cell->text();
}

}  // namespace

system::network::filter::ConnectionTexts rowTexts(lb::Record& row, ListKind kind) {
  system::network::filter::ConnectionTexts texts;
  // Both lists share the columns from Process ID to Remote Port.
  texts.protocol = cellText(row, current::kProtocol);
  texts.pid = cellText(row, current::kProcessId);
  texts.name = cellText(row, current::kProcessName);
  texts.local = cellText(row, current::kLocal);
  texts.localPort = cellText(row, current::kLocalPort);
  texts.remote = cellText(row, current::kRemote);
  texts.remotePort = cellText(row, current::kRemotePort);
  if (kind == ListKind::kCurrent) {
    texts.state = cellText(row, current::kState);
    texts.path = cellText(row, current::kProcessPath);
  } else {
    texts.path = cellText(row, logged::kProcessPath);
  }
  return texts;
}

void filterRows(gui::IListBox2& list, ListKind kind,
                const system::network::filter::ConnectionFilter& filter,
                std::vector<uint32_t>& rows) {
  rows.clear();
  uint32_t count = list.recordCount();
  for (uint32_t row = 0; row < count; ++row) {
    lb::Record* record = list.getRecord(row);
    if (record != nullptr && (!filter.filters() || filter.matches(rowTexts(*record, kind)))) {
      rows.push_back(row);
    }
  }
}

}  // namespace s::app
