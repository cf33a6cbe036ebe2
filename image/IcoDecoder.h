#pragma once

#include <vector>

#include "framework/base/Pooled.h"
#include "image/Bytes.h"
#include "image/IconEntry.h"
#include "image/ImageCache.h"

namespace s::image {

// ICO files of our own: the directory, the choice of an entry, and the entry's picture
// (a PNG, or a bitmap with its AND mask).
class IcoDecoder final {
 public:
  // The recognition rule for the start of a file of fileSize bytes: the header, a non-zero
  // count, room for the directory, and every directory entry within the head sound.
  static bool recognises(Bytes head, uint64_t fileSize);
  // The entries whose pictures lie inside the file, in directory order.
  static bool readDirectory(Bytes bytes, std::vector<IconEntry>& entries);
  // The entry chosen for 16 x 16 at 32 bits, decoded.
  static PoolPtr<ImageCache> decode(Bytes bytes);
  // One icon image: PNG content or a bitmap.
  static PoolPtr<ImageCache> decodeEntry(Bytes picture);
};

}  // namespace s::image
