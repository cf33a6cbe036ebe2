#include "platform/linux/capture/ErrnoName.h"

#include <cerrno>
#include <cstring>

namespace s::platform {

std::string errnoName(int error) {
  const char* name = strerrorname_np(error);
  if (name != nullptr) {
    return name;
  }
  return "errno " + std::to_string(error);
}

bool isAccessDenied(int error) {
  return error == EPERM || error == EACCES;
}

}  // namespace s::platform
