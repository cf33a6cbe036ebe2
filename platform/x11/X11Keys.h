#pragma once

#include <cstdint>
#include <string>

namespace s::platform::x11 {

// Between the platform's modifier bits (ui::modifier) and X's modifier masks and key state.
unsigned int toXModifiers(std::uint32_t modifiers);
std::uint32_t fromXState(unsigned int state);
// The text a key types when there is no input method (UTF-8; empty for keys that type none).
std::string keysymText(unsigned long keysym);

}  // namespace s::platform::x11
