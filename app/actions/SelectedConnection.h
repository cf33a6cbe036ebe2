#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/listbox2/IListBox2.h"
#include "network/IConnection.h"

namespace s::app {

// What the row menu and its actions need of one selected connection, read on the window's
// thread while the row is there. Only `connection` points into the list; it is good until the
// event that read it returns.
struct SelectedConnection {
  system::network::IConnection* connection = nullptr;
  int32_t pid = -1;
  uint32_t remoteAddress = 0;
  int32_t remotePort = -1;
  bool disconnectable = false;
  // This program may signal the process (its user's own, or it holds the right).
  bool signalable = false;
  std::string processName;  // UTF-8, as the system names it
  std::string processPath;  // empty when unknown
  std::string remoteHost;   // the host name when known, else the address
};

// The selected rows of `list` in selection order; a position that gives no record, or a row
// without a connection, is skipped.
void readSelection(const gui::IListBox2& list, std::vector<SelectedConnection>& selection);

// One connection's entry, as readSelection makes it.
SelectedConnection selectedConnectionOf(system::network::IConnection& connection);

}  // namespace s::app
