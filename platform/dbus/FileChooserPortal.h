#pragma once

#include <atomic>
#include <cstdint>

#include "platform/ui/IFileChooser.h"

namespace s::platform {

class SessionBus;

// The desktop's own save dialog through the XDG desktop portal
// (org.freedesktop.portal.FileChooser.SaveFile on the session bus); the dialog asks before a
// file is replaced. Waits until the user has answered, so it belongs on a thread that may wait
// on another program; `abandon`, when set by another thread, ends the wait as a cancel.
// The request's initial folder, file name, filters (the first chosen at the start) and parent
// window are passed on; its mode is taken to be save.
ui::FileChoice saveFileThroughPortal(const ui::FileChooserRequest& request,
                                     const std::atomic<bool>* abandon = nullptr);

// The portal's FileChooser version, 0 when no portal answers (one is started when the desktop
// has one to start).
uint32_t fileChooserPortalVersion(const SessionBus& bus);

}  // namespace s::platform
