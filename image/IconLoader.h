#pragma once

#include <string>
#include <string_view>

#include "framework/base/Pooled.h"
#include "image/Bytes.h"
#include "image/ImageCache.h"

namespace s::image {

// Icon sources: "<module>.exe,<n>" or "<module>.dll,<n>" names the n-th icon group of a PE
// module; anything else is the path of a picture file. Paths are UTF-8.

// Splits the module form; false when the source is a picture path.
bool parseModuleSource(std::string_view source, std::string& module, long& index);

// The picture of an icon source, or empty. Nothing is reported: a source either gives a
// picture or it does not.
PoolPtr<ImageCache> loadIcon(std::string_view source);

// The n-th icon group of a module, its entry chosen for 16 x 16 at 32 bits.
PoolPtr<ImageCache> loadModuleIcon(const std::string& module, long index);

// A BMP, JPEG, GIF, PNG or ICO file longer than 100 bytes, recognised by its content.
PoolPtr<ImageCache> loadPictureFile(const std::string& path);

// The same recognition and decoding for a picture in memory (embedded resources).
PoolPtr<ImageCache> decodePicture(Bytes bytes);

}  // namespace s::image
