#pragma once

#include <string>
#include <string_view>

namespace s::system::network::filter {

// One UTF-16 unit in the case the filter compares in.
char16_t folded(char16_t unit);
std::u16string foldedCopy(std::u16string_view text);

// Whether `text` holds `needle`, ignoring case; `needle` is already folded. Allocates nothing.
bool containsFolded(std::u16string_view text, std::u16string_view needle);
// Whether `text` is `value`, ignoring case; `value` is already folded.
bool equalsFolded(std::u16string_view text, std::u16string_view value);

}  // namespace s::system::network::filter
