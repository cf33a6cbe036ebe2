#include "gui/listbox2/Comparators.h"

#include "framework/col/Comparators.h"
#include "framework/str/StrBuffer.h"

namespace s::gui::listbox2 {

int32_t compareTextNoCase(CellValue a, CellValue b, const void* /*context*/) {
  return str::StrBuffer::compareIgnoreCase(textOf(a), textOf(b));
}

int32_t compareTextBinary(CellValue a, CellValue b, const void* /*context*/) {
  return str::StrBuffer::compare(textOf(a), textOf(b));
}

int32_t compareInt32(CellValue a, CellValue b, const void* /*context*/) {
  return col::CompS32::instance().compare(static_cast<int32_t>(static_cast<uint32_t>(a)),
                                          static_cast<int32_t>(static_cast<uint32_t>(b)));
}

int32_t compareUInt32(CellValue a, CellValue b, const void* /*context*/) {
  return col::CompU32::instance().compare(static_cast<uint32_t>(a), static_cast<uint32_t>(b));
}

int32_t compareInt64(CellValue a, CellValue b, const void* /*context*/) {
  return col::CompS64::instance().compare(int64Of(a), int64Of(b));
}

int32_t compareInt64Descending(CellValue a, CellValue b, const void* /*context*/) {
  return col::CompS64::instance().compare(int64Of(b), int64Of(a));
}

}  // namespace s::gui::listbox2
