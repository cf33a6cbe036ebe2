#pragma once

#include <cstdint>
#include <vector>

#include "image/ByteSource.h"
#include "image/IconEntry.h"

namespace s::image {

// The resource directory of a PE module (a Windows program or library, as Wine runs them),
// read from the file itself. Every offset is checked against the file: modules come from
// anywhere.
class PeResources final {
 public:
  explicit PeResources(const ByteSource& source) : source_(source) {}

  // Reads the headers; false when the file is not a PE module with a resource directory.
  bool open();
  // The number of group-icon resources (each name once, in directory order).
  int groupIconCount() const;
  // The entries of the n-th group-icon resource (from 0) whose icon resource exists; their
  // offset and size locate the icon image in the module. False when there is no such group.
  bool iconGroup(int n, std::vector<IconEntry>& entries) const;
  // Reads an entry's icon image.
  bool readIcon(const IconEntry& entry, std::vector<uint8_t>& data) const;

 private:
  struct Section {
    uint32_t virtualAddress = 0;
    uint32_t rawSize = 0;
    uint32_t rawOffset = 0;
  };
  struct DirectoryEntry {
    uint32_t name = 0;
    uint32_t data = 0;
  };
  struct Blob {
    uint64_t offset = 0;
    uint32_t size = 0;
  };

  bool fileOffset(uint32_t rva, uint32_t length, uint64_t& offset) const;
  bool readDirectory(uint32_t offset, std::vector<DirectoryEntry>& entries) const;
  bool findType(uint16_t type, uint32_t& offset) const;
  bool firstLanguage(const DirectoryEntry& name, Blob& blob) const;
  bool nthGroup(int n, Blob& blob) const;

  const ByteSource& source_;
  std::vector<Section> sections_;
  uint64_t root_ = 0;  // file offset of the resource directory
};

}  // namespace s::image
