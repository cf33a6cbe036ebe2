#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "image/ImageCache.h"

namespace s::image::util {

// The picture of a cell's icon source: the module form and picture files as the image layer
// reads them, and a Linux program named as "<path>,<n>" (how the process column names a
// program) by the icon its desktop shows for it. Empty when the source gives none.
PoolPtr<ImageCache> loadIconSource(std::u16string_view source);

}  // namespace s::image::util
