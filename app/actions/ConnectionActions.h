#pragma once

#include <span>

#include "app/actions/ActionQueue.h"
#include "app/actions/RowCommand.h"
#include "app/actions/SelectedConnection.h"
#include "platform/linux/IPoliteCloser.h"
#include "platform/shell/IDesktopShell.h"

namespace s::app {

// The row menu's actions on the selected connections and their processes. Each is fire and
// forget: nothing is asked and nothing reported. One remote address is opened once and one
// process acted on once, however many selected rows share it, in the order of the selection.
// "Disconnect" acts at once on the calling (window) thread, where the records are; every other
// action is done on the actions' own thread, which alone may wait on another program.
class ConnectionActions {
 public:
  // Neither is owned; both outlive the actions. The closer is used on the actions' thread.
  ConnectionActions(platform::IDesktopShell& shell, platform::IPoliteCloser& closer);

  void run(RowCommand command, std::span<const SelectedConnection> selection);
  // Returns once every action started so far is done.
  void waitIdle() { queue_.waitIdle(); }

 private:
  platform::IDesktopShell& shell_;
  platform::IPoliteCloser& closer_;
  ActionQueue queue_;
};

}  // namespace s::app
