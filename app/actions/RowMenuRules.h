#pragma once

#include <span>

#include "app/actions/ProtectedProcesses.h"
#include "app/actions/RowCommand.h"
#include "app/actions/SelectedConnection.h"

namespace s::app {

// Which row-menu commands the selection allows.
struct RowMenuEnables {
  bool openWebPage = false;
  bool locateProgram = false;
  bool showProgramProperty = false;
  bool disconnect = false;
  bool closeProgram = false;
  bool killProgram = false;

  bool enabled(RowCommand command) const;
};

// The rules the row menu is prepared by when it opens: "Open Web Page" when every selected
// connection goes to remote port 80 (or nothing is selected); "Locate Program" and "Show
// Program Property" when every program path is known; "Disconnect" when at least one is a TCP
// connection that is not listening; "Close Program" and "Kill Program" when no process is
// protected, none is unknown (no pid) and this program may signal each.
RowMenuEnables rowMenuEnables(std::span<const SelectedConnection> selection,
                              const ProtectedProcesses& protectedProcesses);

}  // namespace s::app
