#pragma once

#include <cstdint>
#include <span>

namespace s::lang {

// The language pack compiled into the program (UTF-8 XML).
std::span<const uint8_t> embeddedPack();

}  // namespace s::lang
