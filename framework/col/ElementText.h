#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace s::col {

// The diagnostic text forms shared by arrays and lists: "Name[e0, e1]" and
// "<Name length=\"2\">e0 e1</Name>".
using ElementTextOf = std::function<std::u16string(uint32_t index)>;
std::u16string collectionText(std::u16string_view name, uint32_t count,
                              const ElementTextOf& element);
std::u16string collectionXmlText(std::u16string_view name, uint32_t count,
                                 const ElementTextOf& element);

// An element's bytes as hexadecimal, most significant byte first.
std::u16string hexText(const std::byte* element, size_t size);
// A pointer as the C runtime prints it.
std::u16string pointerText(const void* pointer);

}  // namespace s::col
