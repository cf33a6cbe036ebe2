#include "platform/dbus/PortalFileChooser.h"

#include "platform/dbus/FileChooserPortal.h"

namespace s::platform {

ui::FileChoice PortalFileChooser::choose(const ui::FileChooserRequest& request,
                                         const std::atomic<bool>& abandon) {
  if (request.mode != ui::FileChooserRequest::Mode::kSave) {
    return {};
  }
  return saveFileThroughPortal(request, &abandon);
}

}  // namespace s::platform
