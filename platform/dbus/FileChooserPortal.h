#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace s::platform {

class SessionBus;

// What a save dialog is asked to offer.
struct SaveFileRequest {
  std::string parentWindow;  // "x11:" and the window's id in hex, or empty
  std::string title;
  std::string currentName;    // the suggested file name
  std::string currentFolder;  // empty: the dialog's own choice
  struct Filter {
    std::string name;
    std::vector<std::string> globs;  // "*.htm"
  };
  std::vector<Filter> filters;  // the first is the one chosen at the start
};

enum class SaveFileOutcome : uint8_t {
  kChosen,
  kCancelled,
  kUnavailable,  // no portal on this desktop, or it failed: another dialog must ask
};

struct SaveFileAnswer {
  SaveFileOutcome outcome = SaveFileOutcome::kUnavailable;
  std::string path;  // when chosen
};

// The desktop's own save dialog through the XDG desktop portal
// (org.freedesktop.portal.FileChooser.SaveFile on the session bus); the dialog asks before a
// file is replaced. Waits until the user has answered, so it belongs on a thread that may wait
// on another program; `abandon`, when set by another thread, ends the wait as a cancel.
SaveFileAnswer saveFileThroughPortal(const SaveFileRequest& request,
                                     const std::atomic<bool>* abandon = nullptr);

// The portal's FileChooser version, 0 when no portal answers (one is started when the desktop
// has one to start).
uint32_t fileChooserPortalVersion(const SessionBus& bus);

}  // namespace s::platform
