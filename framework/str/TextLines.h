#pragma once

#include <string>

#include "framework/str/StrArray.h"

namespace s::str {

// The lines joined by CR LF, without a final line break, as UTF-8 without a byte-order mark:
// how the program writes its text files (the log page, the error report).
std::string joinTextLines(const StrArray& lines);

}  // namespace s::str
