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
  appendIPv4(out, address);
  return out;
}

void appendIPv4(StrBuffer& out, uint32_t address) {
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      out.appendChar(u'.');
    }
    out.appendU32((address >> (8 * i)) & 0xFF);
  }
}

StrBuffer& formatIPv6(StrBuffer& out, const uint8_t* address) {
  out.clear();
  appendIPv6(out, address);
  return out;
}

void appendIPv6(StrBuffer& out, const uint8_t* address) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  uint16_t groups[8];
  for (int i = 0; i < 8; ++i) {
    groups[i] = static_cast<uint16_t>(address[2 * i] << 8 | address[2 * i + 1]);
  }
  const bool mapped = groups[0] == 0 && groups[1] == 0 && groups[2] == 0 && groups[3] == 0 &&
                      groups[4] == 0 && groups[5] == 0xffff;
  const int hexGroups = mapped ? 6 : 8;
  // The first longest run of zero groups, when it has two or more.
  int runStart = -1;
  int runLength = 1;
  for (int i = 0; i < hexGroups;) {
    int end = i;
    while (end < hexGroups && groups[end] == 0) {
      ++end;
    }
    if (end - i > runLength) {
      runStart = i;
      runLength = end - i;
    }
    i = end == i ? i + 1 : end;
  }
  for (int i = 0; i < hexGroups; ++i) {
    if (i == runStart) {
      out.append(u"::");
      i += runLength - 1;
      continue;
    }
    if (i > 0 && i != runStart + runLength) {
      out.appendChar(u':');
    }
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
      unsigned digit = (groups[i] >> shift) & 0xF;
      if (digit != 0 || started || shift == 0) {
        out.appendChar(kDigits[digit]);
        started = true;
      }
    }
  }
  if (mapped) {
    out.appendChar(u':');
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
      word |= static_cast<uint32_t>(address[12 + i]) << (8 * i);
    }
    appendIPv4(out, word);
  }
}

PoolPtr<StrBuffer> formatByteSize(int64_t bytes) {
  return StrBuffer::written([bytes](StrBuffer& text) { formatByteSize(text, bytes); });
}

PoolPtr<StrBuffer> formatIPv4(uint32_t address) {
  return StrBuffer::written([address](StrBuffer& text) { formatIPv4(text, address); });
}

}  // namespace s::str
