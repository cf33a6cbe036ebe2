#pragma once

#include <cstdint>

#include "image/Bytes.h"

namespace s::image {

enum class ImageFormat { Unknown, Jpeg, Gif, Png, Bmp, Ico, Tiff };

// The format a file's content shows in its first bytes (at most 100 of them are looked at),
// whatever its name says. TIFF is recognised but not loaded.
ImageFormat detectImageFormat(Bytes head, uint64_t fileSize);

}  // namespace s::image
