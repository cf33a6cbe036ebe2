#include "app/actions/RowMenuRules.h"

namespace s::app {

namespace {

constexpr int32_t kWebPort = 80;

}  // namespace

bool RowMenuEnables::enabled(RowCommand command) const {
  switch (command) {
    case RowCommand::kOpenWebPage:
      return openWebPage;
    case RowCommand::kLocateProgram:
      return locateProgram;
    case RowCommand::kShowProgramProperty:
      return showProgramProperty;
    case RowCommand::kDisconnect:
      return disconnect;
    case RowCommand::kCloseProgram:
      return closeProgram;
    case RowCommand::kKillProgram:
      return killProgram;
  }
  return false;
}

RowMenuEnables rowMenuEnables(std::span<const SelectedConnection> selection,
                              const ProtectedProcesses& protectedProcesses) {
  bool offWebPort = false;
  bool lacksPath = false;
  bool mayNotEnd = false;
  bool disconnectable = false;
  for (const SelectedConnection& connection : selection) {
    offWebPort = offWebPort || connection.remotePort != kWebPort;
    lacksPath = lacksPath || connection.processPath.empty();
    disconnectable = disconnectable || connection.disconnectable;
    mayNotEnd = mayNotEnd || connection.pid <= 0 || !connection.signalable ||
                protectedProcesses.isProtected(connection.pid, connection.processName);
  }
  RowMenuEnables enables;
  enables.openWebPage = !offWebPort;
  enables.locateProgram = !lacksPath;
  enables.showProgramProperty = !lacksPath;
  enables.disconnect = disconnectable;
  enables.closeProgram = !mayNotEnd;
  enables.killProgram = !mayNotEnd;
  return enables;
}

}  // namespace s::app
