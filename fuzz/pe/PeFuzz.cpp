#include <cstddef>
#include <cstdint>

#include <vector>

#include "image/IcoDecoder.h"
#include "image/MemoryByteSource.h"
#include "image/PeResources.h"

// A module: its resource directory, every icon group and the chosen entry of each.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  s::image::MemoryByteSource source({data, size});
  s::image::PeResources resources(source);
  if (!resources.open()) {
    return 0;
  }
  const int groups = resources.groupIconCount();
  std::vector<s::image::IconEntry> entries;
  std::vector<uint8_t> picture;
  for (int n = 0; n < groups && n < 8; ++n) {
    if (resources.iconGroup(n, entries)) {
      const int chosen = s::image::chooseIconEntry(entries, 16, 16, 32);
      if (chosen >= 0 && resources.readIcon(entries[static_cast<size_t>(chosen)], picture)) {
        s::image::IcoDecoder::decodeEntry(picture);
      }
    }
  }
  return 0;
}
