#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/dbus/FileUri.h"

namespace s::platform {

class SessionBus;

// The desktop's file manager over its org.freedesktop.FileManager1 interface on the session
// bus (started on demand when the desktop has one to start).
enum class FileManagerRequest : uint8_t {
  kShowItems,           // a window of the file's folder with the file selected
  kShowItemProperties,  // the file's properties
};

// False when no file manager answered within `bound`.
bool askFileManager(const SessionBus& bus, FileManagerRequest request, const std::string& path,
                    std::chrono::milliseconds bound = std::chrono::seconds(10));

}  // namespace s::platform
