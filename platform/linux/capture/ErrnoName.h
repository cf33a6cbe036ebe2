#pragma once

#include <string>

namespace s::platform {

// The symbolic name of an errno value ("EPERM", "ENODEV", ...), or "errno <n>" for a value the C
// library does not name.
std::string errnoName(int error);

// Whether `error` means the process lacks the right to capture (CAP_NET_RAW).
bool isAccessDenied(int error);

}  // namespace s::platform
