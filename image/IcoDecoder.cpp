#include "image/IcoDecoder.h"

#include "image/BmpDecoder.h"
#include "image/PngDecoder.h"

namespace s::image {

namespace {

constexpr uint64_t kHeaderSize = 6;
constexpr uint64_t kEntrySize = 16;

bool readHeader(Bytes bytes, uint16_t& count) {
  uint16_t reserved = 1;
  uint16_t type = 0;
  return readU16(bytes, 0, reserved) && readU16(bytes, 2, type) && readU16(bytes, 4, count) &&
         reserved == 0 && type == 1 && count != 0;
}

bool readEntry(Bytes bytes, uint16_t index, IconEntry& entry, uint8_t& reserved) {
  const uint64_t at = kHeaderSize + kEntrySize * index;
  uint32_t offset = 0;
  if (!readU8(bytes, at, entry.width) || !readU8(bytes, at + 1, entry.height) ||
      !readU8(bytes, at + 2, entry.colorCount) || !readU8(bytes, at + 3, reserved) ||
      !readU16(bytes, at + 4, entry.planes) || !readU16(bytes, at + 6, entry.bitCount) ||
      !readU32(bytes, at + 8, entry.size) || !readU32(bytes, at + 12, offset)) {
    return false;
  }
  entry.offset = offset;
  return true;
}

}  // namespace

bool IcoDecoder::recognises(Bytes head, uint64_t fileSize) {
  uint16_t count = 0;
  if (!readHeader(head, count) || fileSize <= kHeaderSize + kEntrySize * count) {
    return false;
  }
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t end = kHeaderSize + kEntrySize * (i + 1);
    if (end > head.size()) {
      break;
    }
    IconEntry entry;
    uint8_t reserved = 0;
    if (!readEntry(head, i, entry, reserved) || reserved != 0 || entry.bitCount > 32 ||
        entry.offset < end || entry.offset + entry.size > fileSize) {
      return false;
    }
  }
  return true;
}

bool IcoDecoder::readDirectory(Bytes bytes, std::vector<IconEntry>& entries) {
  entries.clear();
  uint16_t count = 0;
  if (!readHeader(bytes, count) || !inside(bytes, kHeaderSize, kEntrySize * count)) {
    return false;
  }
  for (uint16_t i = 0; i < count; ++i) {
    IconEntry entry;
    uint8_t reserved = 0;
    if (readEntry(bytes, i, entry, reserved) && entry.size > 0 &&
        inside(bytes, entry.offset, entry.size)) {
      entries.push_back(entry);
    }
  }
  return true;
}

PoolPtr<ImageCache> IcoDecoder::decode(Bytes bytes) {
  std::vector<IconEntry> entries;
  if (!readDirectory(bytes, entries)) {
    return {};
  }
  const int chosen = chooseIconEntry(entries, 16, 16, 32);
  if (chosen < 0) {
    return {};
  }
  const IconEntry& entry = entries[static_cast<size_t>(chosen)];
  return decodeEntry(bytes.subspan(entry.offset, entry.size));
}

PoolPtr<ImageCache> IcoDecoder::decodeEntry(Bytes picture) {
  if (PngDecoder::recognises(picture)) {
    return PngDecoder::decode(picture);
  }
  return BmpDecoder::decodeIconBitmap(picture);
}

}  // namespace s::image
