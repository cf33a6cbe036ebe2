#pragma once

#include <cstdint>

#include "gui/listbox2/CellValue.h"

namespace s::gui::listbox2 {

// The value comparators of list columns. Text values are StrBuffers (none is the empty
// text); 64-bit values are boxed (none is 0); the rest are plain numbers in the word.

// Case-blind over the common prefix, then the shorter first.
int32_t compareTextNoCase(CellValue a, CellValue b, const void* context);
// The UTF-16 units as little-endian bytes over the common prefix, then the shorter first.
int32_t compareTextBinary(CellValue a, CellValue b, const void* context);
int32_t compareInt32(CellValue a, CellValue b, const void* context);
int32_t compareUInt32(CellValue a, CellValue b, const void* context);
int32_t compareInt64(CellValue a, CellValue b, const void* context);
// The larger value first: a column left ascending shows the newest time first.
int32_t compareInt64Descending(CellValue a, CellValue b, const void* context);

}  // namespace s::gui::listbox2
