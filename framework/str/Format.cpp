#include "framework/str/Format.h"

namespace s::str {

StrBuffer& formatByteSize(StrBuffer& out, int64_t bytes) {
  out.clear();
  if (bytes < 0) {
    out.appendChar(u'-');
    return out;
  }
  auto count = static_cast<uint64_t>(bytes);
  // 10-bit groups: bytes, KiB, MiB, GiB; the TiB group keeps all the higher bits so that
  // a petabyte does not wrap to a small value.
  const uint64_t groups[5] = {count & 1023, (count >> 10) & 1023, (count >> 20) & 1023,
                              (count >> 30) & 1023, count >> 40};
  static constexpr std::u16string_view kUnits[5] = {u" B", u" KB", u" MB", u" GB", u" TB"};
  int top = 4;
  while (top > 0 && groups[top] == 0) {
    --top;
  }
  out.appendU64(groups[top]);
  if (top > 0) {
    auto fraction = static_cast<uint32_t>((groups[top - 1] * 100) >> 10);
    out.appendChar(u'.');
    if (fraction < 10) {
      out.appendChar(u'0');
    }
    out.appendU32(fraction);
  }
  out.append(kUnits[top]);
  return out;
}

StrBuffer& formatIPv4(StrBuffer& out, uint32_t address) {
  out.clear();
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      out.appendChar(u'.');
    }
    out.appendU32((address >> (8 * i)) & 0xFF);
  }
  return out;
}

PoolPtr<StrBuffer> formatByteSize(int64_t bytes) {
  return StrBuffer::written([bytes](StrBuffer& text) { formatByteSize(text, bytes); });
}

PoolPtr<StrBuffer> formatIPv4(uint32_t address) {
  return StrBuffer::written([address](StrBuffer& text) { formatIPv4(text, address); });
}

}  // namespace s::str
