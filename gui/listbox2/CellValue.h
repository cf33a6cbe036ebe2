#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/IPoolable.h"
#include "framework/str/StrBuffer.h"

namespace s::gui::listbox2 {

// A cell's value: a number, or a pointer to an object the cell owns (a text, a boxed 64-bit
// number). One machine word, so 64-bit numbers travel boxed.
using CellValue = uintptr_t;

// Writes the display text of a value into a cleared buffer.
using ToText = void (*)(CellValue value, str::StrBuffer& text);

// Orders two values of one column; context is always null.
using CellComparator = int32_t (*)(CellValue a, CellValue b, const void* context);

// The object an owned value refers to. Values are words by design: numbers and references
// share the cell's one field.
template <class T>
T* pointerOf(CellValue value) {
  return reinterpret_cast<T*>(value);  // NOLINT(performance-no-int-to-ptr)
}

// Owned values: each maker hands out a value that its owner below disposes of.
CellValue textValue(std::u16string_view text);
// Adopts a taken buffer; textValueOwner() gives it back to its pool.
CellValue textValue(str::StrBuffer* text);
// A 64-bit number in a pooled box, so that replacing it every refresh allocates nothing.
CellValue int64Value(int64_t value);

IDestructor<void>* textValueOwner();
IDestructor<void>* int64ValueOwner();
// For values in memory from malloc.
IDestructor<void>* mallocValueOwner();

// Gives an owned value back through its owner (none: nothing to do), as a caller does
// with a value that an operation refused.
void disposeValue(CellValue value, IDestructor<void>* owner);

// The empty text for none.
std::u16string_view textOf(CellValue value);
// 0 for none.
int64_t int64Of(CellValue value);

// Display texts for the common value kinds.
void showText(CellValue value, str::StrBuffer& text);
void showU32(CellValue value, str::StrBuffer& text);
void showS32(CellValue value, str::StrBuffer& text);
void showInt64(CellValue value, str::StrBuffer& text);
// A boxed byte count as "1.50 KB"; "-" for a negative count.
void showByteSize(CellValue value, str::StrBuffer& text);

}  // namespace s::gui::listbox2
