#include <vector>

#include "app/actions/ProtectedProcesses.h"
#include "platform/dbus/SessionBus.h"
#include "platform/x11/X11DesktopProcesses.h"

namespace s::app {

void ProtectedProcesses::addDesktopProcesses() {
  std::vector<int32_t> desktop;
  platform::x11::desktopProcessIds(desktop);
  for (int32_t pid : desktop) {
    addPid(pid);
  }
  platform::SessionBus bus;
  addPid(bus.daemonPid());
}

}  // namespace s::app
