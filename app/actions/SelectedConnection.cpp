#include "app/actions/SelectedConnection.h"

#include <signal.h>

#include <cerrno>

#include "framework/file/NativePath.h"
#include "framework/str/Format.h"
#include "gui/listbox2/Record.h"
#include "platform/linux/Processes.h"

namespace s::app {

namespace {

bool maySignal(int32_t pid) {
  // Signal 0 checks the right without sending anything.
  return pid > 0 && (kill(pid, 0) == 0 || errno == ESRCH);
}

// The record's getRemoteHostText(), without writing the record's text buffer.
std::string remoteHostOf(const system::network::IConnection& connection) {
  if (connection.getProtocol() != system::network::IConnection::kProtocolTcp ||
      !connection.isDisconnectable()) {
    return "*";
  }
  if (connection.isRemoteHostNameResolved()) {
    return file::toNative(connection.getRemoteHostName());
  }
  return file::toNative(str::formatIPv4(connection.getRemoteAddress())->view());
}

}  // namespace

SelectedConnection selectedConnectionOf(system::network::IConnection& connection) {
  SelectedConnection selected;
  selected.connection = &connection;
  selected.pid = connection.getPid();
  selected.remoteAddress = connection.getRemoteAddress();
  selected.remotePort = connection.getRemotePort();
  selected.disconnectable = connection.isDisconnectable();
  selected.signalable = maySignal(selected.pid);
  // Read from the system, not through the record's shared text buffer, which the refresh
  // thread also writes.
  if (selected.pid > 0) {
    platform::processName(selected.pid, selected.processName);
    platform::processPath(selected.pid, selected.processPath);
  }
  selected.remoteHost = remoteHostOf(connection);
  return selected;
}

void readSelection(const gui::IListBox2& list, std::vector<SelectedConnection>& selection) {
  selection.clear();
  for (uint32_t i = 0; i < list.selectedCount(); ++i) {
    gui::listbox2::Record* record = nullptr;
    uint32_t stamp = 0;
    if (!list.getSelected(i, record, stamp) || record == nullptr) {
      continue;
    }
    auto* connection = dynamic_cast<system::network::IConnection*>(record->userData());
    if (connection != nullptr) {
      selection.push_back(selectedConnectionOf(*connection));
    }
  }
}

}  // namespace s::app
