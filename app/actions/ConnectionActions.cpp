#include "app/actions/ConnectionActions.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/Processes.h"

namespace s::app {

namespace {

// The selection's distinct process ids, in selection order.
std::vector<int32_t> distinctPids(std::span<const SelectedConnection> selection) {
  std::vector<int32_t> pids;
  for (const SelectedConnection& connection : selection) {
    if (connection.pid > 0 && std::ranges::find(pids, connection.pid) == pids.end()) {
      pids.push_back(connection.pid);
    }
  }
  return pids;
}

// The program paths of the selection's distinct processes, in selection order.
std::vector<std::string> programPaths(std::span<const SelectedConnection> selection) {
  std::vector<int32_t> seen;
  std::vector<std::string> paths;
  for (const SelectedConnection& connection : selection) {
    if (std::ranges::find(seen, connection.pid) != seen.end()) {
      continue;
    }
    seen.push_back(connection.pid);
    if (!connection.processPath.empty()) {
      paths.push_back(connection.processPath);
    }
  }
  return paths;
}

// "http://" and the host of each distinct remote address.
std::vector<std::string> webAddresses(std::span<const SelectedConnection> selection) {
  std::vector<uint32_t> seen;
  std::vector<std::string> addresses;
  for (const SelectedConnection& connection : selection) {
    if (std::ranges::find(seen, connection.remoteAddress) == seen.end()) {
      seen.push_back(connection.remoteAddress);
      addresses.push_back("http://" + connection.remoteHost);
    }
  }
  return addresses;
}

bool isExistingFile(const std::string& path) {
  struct stat status {};
  return path.starts_with('/') && stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

}  // namespace

ConnectionActions::ConnectionActions(platform::IDesktopShell& shell,
                                     platform::IPoliteCloser& closer)
    : shell_(shell), closer_(closer) {}

void ConnectionActions::run(RowCommand command, std::span<const SelectedConnection> selection) {
  switch (command) {
    case RowCommand::kOpenWebPage:
      queue_.post([this, addresses = webAddresses(selection)] {
        for (const std::string& address : addresses) {
          shell_.openAddress(address);
        }
      });
      break;
    case RowCommand::kLocateProgram:
      queue_.post([this, paths = programPaths(selection)] {
        for (const std::string& path : paths) {
          if (isExistingFile(path)) {
            shell_.showInFileManager(path);
          }
        }
      });
      break;
    case RowCommand::kShowProgramProperty:
      queue_.post([this, paths = programPaths(selection)] {
        for (const std::string& path : paths) {
          shell_.showProperties(path);
        }
      });
      break;
    case RowCommand::kDisconnect:
      for (const SelectedConnection& connection : selection) {
        if (connection.connection != nullptr && connection.connection->isDisconnectable()) {
          connection.connection->disconnect();
        }
      }
      break;
    case RowCommand::kCloseProgram:
      queue_.post(
          [this, pids = distinctPids(selection)] { platform::closeProcesses(pids, closer_); });
      break;
    case RowCommand::kKillProgram:
      queue_.post([pids = distinctPids(selection)] {
        for (int32_t pid : pids) {
          platform::killProcess(pid);
        }
      });
      break;
  }
}

}  // namespace s::app
