#include "gui/listbox2/Comparators.h"

#include "framework/str/StrBuffer.h"

namespace s::gui::listbox2 {

namespace {

template <class T>
int32_t ordered(T a, T b) {
  return static_cast<int32_t>(a > b) - static_cast<int32_t>(a < b);
}

}  // namespace

int32_t compareTextNoCase(CellValue a, CellValue b, const void* /*context*/) {
  return str::StrBuffer::compareIgnoreCase(textOf(a), textOf(b));
}

int32_t compareTextBinary(CellValue a, CellValue b, const void* /*context*/) {
  return str::StrBuffer::compare(textOf(a), textOf(b));
}

int32_t compareInt32(CellValue a, CellValue b, const void* /*context*/) {
  return ordered(static_cast<int32_t>(static_cast<uint32_t>(a)),
                 static_cast<int32_t>(static_cast<uint32_t>(b)));
}

int32_t compareUInt32(CellValue a, CellValue b, const void* /*context*/) {
  return ordered(static_cast<uint32_t>(a), static_cast<uint32_t>(b));
}

int32_t compareInt64(CellValue a, CellValue b, const void* /*context*/) {
  return ordered(int64Of(a), int64Of(b));
}

int32_t compareInt64Descending(CellValue a, CellValue b, const void* /*context*/) {
  return ordered(int64Of(b), int64Of(a));
}

}  // namespace s::gui::listbox2
