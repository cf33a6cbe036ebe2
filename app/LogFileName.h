#pragma once

#include <string>

#include "framework/time/Time.h"

namespace s::app {

// The name the save dialog suggests: "LOG-" YYMMDD "-" HH ".htm" of the local time given,
// each part two digits, the year modulo 100 and the hour 00 to 23.
std::u16string defaultLogFileName(const time::Time& localTime);

}  // namespace s::app
