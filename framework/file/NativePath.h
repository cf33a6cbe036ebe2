#pragma once

#include <string>
#include <string_view>

namespace s::file {

// Path texts are UTF-16 in the program and UTF-8 bytes for the system.
std::string toNative(std::u16string_view path);
std::u16string fromNative(std::string_view path);

}  // namespace s::file
