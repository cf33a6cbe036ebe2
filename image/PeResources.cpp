#include "image/PeResources.h"

#include <unordered_map>

namespace s::image {

namespace {

constexpr uint16_t kIconType = 3;
constexpr uint16_t kGroupIconType = 14;
constexpr uint32_t kHigh = 0x80000000u;
constexpr uint32_t kMaxSections = 1024;
constexpr uint32_t kMaxGroupSize = 6 + 14 * 65535;
constexpr uint32_t kMaxIconSize = 16u << 20;

uint16_t u16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool PeResources::open() {
  uint8_t dos[64];
  if (!source_.read(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') {
    return false;
  }
  const uint64_t pe = u32(dos + 0x3C);
  uint8_t coff[24];
  if (!source_.read(pe, coff, sizeof coff) || coff[0] != 'P' || coff[1] != 'E' || coff[2] != 0 ||
      coff[3] != 0) {
    return false;
  }
  const uint32_t sectionCount = u16(coff + 6);
  const uint32_t optionalSize = u16(coff + 20);
  const uint64_t optional = pe + 24;
  uint8_t magic[2];
  if (sectionCount == 0 || sectionCount > kMaxSections || !source_.read(optional, magic, 2)) {
    return false;
  }
  // The data directories sit further into the 64-bit optional header.
  uint32_t directories = 0;
  switch (u16(magic)) {
    case 0x10B:
      directories = 92;
      break;
    case 0x20B:
      directories = 108;
      break;
    default:
      return false;
  }
  constexpr uint32_t kResourceIndex = 2;
  uint8_t count[4];
  uint8_t resource[8];
  const uint32_t resourceAt = directories + 4 + 8 * kResourceIndex;
  if (resourceAt + 8 > optionalSize || !source_.read(optional + directories, count, 4) ||
      u32(count) <= kResourceIndex || !source_.read(optional + resourceAt, resource, 8)) {
    return false;
  }
  std::vector<uint8_t> table(static_cast<size_t>(sectionCount) * 40);
  if (!source_.read(optional + optionalSize, table.data(), table.size())) {
    return false;
  }
  sections_.clear();
  for (uint32_t i = 0; i < sectionCount; ++i) {
    const uint8_t* s = table.data() + static_cast<size_t>(i) * 40;
    sections_.push_back({u32(s + 12), u32(s + 16), u32(s + 20)});
  }
  const uint32_t rva = u32(resource);
  return rva != 0 && fileOffset(rva, 16, root_);
}

bool PeResources::fileOffset(uint32_t rva, uint32_t length, uint64_t& offset) const {
  for (const Section& section : sections_) {
    const uint64_t start = section.virtualAddress;
    if (rva >= start && uint64_t{rva} + length <= start + section.rawSize) {
      offset = uint64_t{section.rawOffset} + (rva - start);
      return offset + length <= source_.size();
    }
  }
  return false;
}

bool PeResources::readDirectory(uint32_t offset, std::vector<DirectoryEntry>& entries) const {
  uint8_t header[16];
  if (!source_.read(root_ + offset, header, sizeof header)) {
    return false;
  }
  // Named entries come first, then numbered ones, as the directory stores them.
  const size_t total = size_t{u16(header + 12)} + u16(header + 14);
  std::vector<uint8_t> raw(total * 8);
  if (!source_.read(root_ + offset + 16, raw.data(), raw.size())) {
    return false;
  }
  entries.resize(total);
  for (size_t i = 0; i < total; ++i) {
    entries[i] = {u32(raw.data() + 8 * i), u32(raw.data() + 8 * i + 4)};
  }
  return true;
}

bool PeResources::findType(uint16_t type, uint32_t& offset) const {
  std::vector<DirectoryEntry> types;
  if (!readDirectory(0, types)) {
    return false;
  }
  for (const DirectoryEntry& entry : types) {
    if ((entry.name & kHigh) == 0 && (entry.name & 0xFFFF) == type && (entry.data & kHigh) != 0) {
      offset = entry.data & ~kHigh;
      return true;
    }
  }
  return false;
}

// A name counts once, whatever languages it has: its first language is the one read.
bool PeResources::firstLanguage(const DirectoryEntry& name, Blob& blob) const {
  uint8_t header[24];
  if ((name.data & kHigh) != 0 &&
      source_.read(root_ + (name.data & ~kHigh), header, sizeof header) &&
      u16(header + 12) + u16(header + 14) > 0 && (u32(header + 20) & kHigh) == 0) {
    uint8_t data[8];
    if (source_.read(root_ + u32(header + 20), data, sizeof data)) {
      blob.size = u32(data + 4);
      return blob.size > 0 && fileOffset(u32(data), blob.size, blob.offset);
    }
  }
  return false;
}

int PeResources::groupIconCount() const {
  uint32_t offset = 0;
  std::vector<DirectoryEntry> names;
  if (!findType(kGroupIconType, offset) || !readDirectory(offset, names)) {
    return 0;
  }
  int count = 0;
  for (const DirectoryEntry& name : names) {
    Blob blob;
    count += firstLanguage(name, blob) ? 1 : 0;
  }
  return count;
}

bool PeResources::nthGroup(int n, Blob& blob) const {
  uint32_t offset = 0;
  std::vector<DirectoryEntry> names;
  if (n < 0 || !findType(kGroupIconType, offset) || !readDirectory(offset, names)) {
    return false;
  }
  int index = 0;
  for (const DirectoryEntry& name : names) {
    if (firstLanguage(name, blob) && index++ == n) {
      return true;
    }
  }
  return false;
}

bool PeResources::iconGroup(int n, std::vector<IconEntry>& entries) const {
  entries.clear();
  Blob group;
  if (!nthGroup(n, group) || group.size < 6 || group.size > kMaxGroupSize) {
    return false;
  }
  std::vector<uint8_t> bytes(group.size);
  if (!source_.read(group.offset, bytes.data(), bytes.size())) {
    return false;
  }
  const uint16_t count = u16(bytes.data() + 4);
  if (u16(bytes.data()) != 0 || u16(bytes.data() + 2) != 1 ||
      6 + size_t{count} * 14 > bytes.size()) {
    return false;
  }
  // The icon resources by id, looked up once for the whole group.
  std::unordered_map<uint16_t, Blob> icons;
  for (uint16_t i = 0; i < count; ++i) {
    icons.emplace(u16(bytes.data() + 6 + 14 * i + 12), Blob{});
  }
  uint32_t iconsOffset = 0;
  std::vector<DirectoryEntry> names;
  if (!findType(kIconType, iconsOffset) || !readDirectory(iconsOffset, names)) {
    return true;  // a group whose icons are all missing: no usable entry
  }
  for (const DirectoryEntry& name : names) {
    if ((name.name & kHigh) != 0) {
      continue;
    }
    auto found = icons.find(static_cast<uint16_t>(name.name & 0xFFFF));
    if (found != icons.end() && found->second.size == 0) {
      Blob blob;
      if (firstLanguage(name, blob)) {
        found->second = blob;
      }
    }
  }
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* e = bytes.data() + 6 + 14 * i;
    const Blob& icon = icons[u16(e + 12)];
    if (icon.size == 0) {
      continue;  // no icon resource with that id
    }
    IconEntry entry;
    entry.width = e[0];
    entry.height = e[1];
    entry.colorCount = e[2];
    entry.planes = u16(e + 4);
    entry.bitCount = u16(e + 6);
    entry.offset = icon.offset;
    entry.size = icon.size;
    entries.push_back(entry);
  }
  return true;
}

bool PeResources::readIcon(const IconEntry& entry, std::vector<uint8_t>& data) const {
  if (entry.size == 0 || entry.size > kMaxIconSize) {
    return false;
  }
  data.resize(entry.size);
  return source_.read(entry.offset, data.data(), data.size());
}

}  // namespace s::image
