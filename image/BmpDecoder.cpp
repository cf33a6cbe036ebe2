#include "image/BmpDecoder.h"

#include <bit>
#include <cstring>

namespace s::image {

namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

struct Header {
  int width = 0;
  int height = 0;  // rows of the colour bitmap
  bool topDown = false;
  uint16_t bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  uint64_t paletteOffset = 0;
  uint32_t paletteCount = 0;
  uint32_t paletteEntrySize = 4;
  uint64_t colorsEnd = 0;  // where the palette (or the masks) end
};

// One channel described by a bit mask, scaled to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t maximum = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (m != 0) {
      shift = std::countr_zero(m);
      maximum = m >> shift;
    }
  }
  uint8_t value(uint32_t pixel) const {
    if (maximum == 0) {
      return 0;
    }
    return static_cast<uint8_t>(((pixel & mask) >> shift) * 255 / maximum);
  }
};

bool readHeader(Bytes dib, bool icon, Header& header) {
  uint32_t size = 0;
  if (!readU32(dib, 0, size)) {
    return false;
  }
  if (size == kCoreHeaderSize) {
    uint16_t width = 0;
    uint16_t height = 0;
    if (!readU16(dib, 4, width) || !readU16(dib, 6, height) || !readU16(dib, 10, header.bitCount)) {
      return false;
    }
    header.width = width;
    header.height = height;
    header.paletteEntrySize = 3;
  } else if (size >= kInfoHeaderSize) {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t used = 0;
    if (!readS32(dib, 4, width) || !readS32(dib, 8, height) || !readU16(dib, 14, header.bitCount) ||
        !readU32(dib, 16, header.compression) || !readU32(dib, 32, used)) {
      return false;
    }
    if (height < 0) {
      if (icon || height == INT32_MIN) {
        return false;
      }
      header.topDown = true;
      height = -height;
    }
    header.width = width;
    header.height = height;
    header.paletteCount = used;
  } else {
    return false;
  }
  if (icon) {
    header.height /= 2;  // the colour rows and the mask rows
  }
  uint64_t colors = size;
  if (header.compression == kBitFields || header.compression == kAlphaBitFields) {
    if (header.bitCount != 16 && header.bitCount != 32) {
      return false;
    }
    // The masks follow a plain info header at the place where larger headers hold them.
    const int count = header.compression == kAlphaBitFields ? 4 : 3;
    for (int i = 0; i < count; ++i) {
      if (!readU32(dib, kInfoHeaderSize + 4 * i, header.masks[i])) {
        return false;
      }
    }
    if (size >= 56 && count == 3 && !readU32(dib, 52, header.masks[3])) {
      return false;
    }
    if (size == kInfoHeaderSize) {
      colors += 4 * count;
    }
  } else if (header.compression != kRgb) {
    return false;  // run-length and embedded JPEG/PNG bitmaps are not read
  }
  switch (header.bitCount) {
    case 1:
    case 4:
    case 8: {
      const uint32_t full = 1u << header.bitCount;
      if (header.paletteCount == 0 || header.paletteCount > full) {
        header.paletteCount = full;
      }
      break;
    }
    case 16:
      if (header.compression == kRgb) {
        header.masks[0] = 0x7C00;
        header.masks[1] = 0x03E0;
        header.masks[2] = 0x001F;
      }
      header.paletteCount = 0;
      break;
    case 24:
    case 32:
      header.paletteCount = 0;
      break;
    default:
      return false;
  }
  header.paletteOffset = colors;
  header.colorsEnd = colors + uint64_t{header.paletteCount} * header.paletteEntrySize;
  return ImageCache::validSize(header.width, header.height) && header.colorsEnd <= dib.size();
}

uint64_t rowSize(int width, int bits) {
  return (uint64_t{static_cast<uint32_t>(width)} * bits + 31) / 32 * 4;
}

// Fills the picture from rows stored bottom-up (or top-down) at `data`. Answers whether any
// alpha byte was non-zero, for 32-bit rows that may or may not use their fourth byte.
bool readPixels(Bytes dib, const Header& header, Bytes data, ImageCache& image, bool& alphaSeen) {
  const uint64_t stride = rowSize(header.width, header.bitCount);
  if (stride * static_cast<uint64_t>(header.height) > data.size()) {
    return false;
  }
  uint8_t palette[256][4] = {};
  for (uint32_t i = 0; i < header.paletteCount; ++i) {
    const uint8_t* entry =
        dib.data() + header.paletteOffset + uint64_t{i} * header.paletteEntrySize;
    palette[i][0] = entry[0];
    palette[i][1] = entry[1];
    palette[i][2] = entry[2];
    palette[i][3] = 0xFF;
  }
  const Channel red(header.masks[0]);
  const Channel green(header.masks[1]);
  const Channel blue(header.masks[2]);
  const Channel alpha(header.masks[3]);
  const bool fields = header.compression != kRgb;
  alphaSeen = false;
  for (int y = 0; y < header.height; ++y) {
    const int stored = header.topDown ? y : header.height - 1 - y;
    const uint8_t* in = data.data() + stride * static_cast<uint64_t>(stored);
    uint8_t* out = image.row(y);
    for (int x = 0; x < header.width; ++x, out += 4) {
      switch (header.bitCount) {
        case 1:
        case 4:
        case 8: {
          const int bits = header.bitCount;
          const uint64_t bit = uint64_t{static_cast<uint32_t>(x)} * bits;
          const int index = (in[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
          if (static_cast<uint32_t>(index) < header.paletteCount) {
            std::memcpy(out, palette[index], 4);
          } else {
            out[0] = out[1] = out[2] = 0;
            out[3] = 0xFF;
          }
          break;
        }
        case 16: {
          const uint32_t pixel = in[2 * x] | (in[2 * x + 1] << 8);
          out[0] = blue.value(pixel);
          out[1] = green.value(pixel);
          out[2] = red.value(pixel);
          out[3] = alpha.mask != 0 ? alpha.value(pixel) : 0xFF;
          alphaSeen = alphaSeen || alpha.mask != 0;
          break;
        }
        case 24:
          out[0] = in[3 * x];
          out[1] = in[3 * x + 1];
          out[2] = in[3 * x + 2];
          out[3] = 0xFF;
          break;
        default: {
          const uint8_t* p = in + 4 * static_cast<ptrdiff_t>(x);
          if (fields) {
            const uint32_t pixel = p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
            out[0] = blue.value(pixel);
            out[1] = green.value(pixel);
            out[2] = red.value(pixel);
            out[3] = alpha.mask != 0 ? alpha.value(pixel) : 0xFF;
            alphaSeen = alphaSeen || alpha.mask != 0;
          } else {
            std::memcpy(out, p, 4);
            alphaSeen = alphaSeen || p[3] != 0;
          }
          break;
        }
      }
    }
  }
  return true;
}

// 32-bit rows whose fourth byte is zero everywhere carry no alpha: make them opaque.
void makeOpaque(ImageCache& image) {
  for (int y = 0; y < image.height(); ++y) {
    uint8_t* out = image.row(y);
    for (int x = 0; x < image.width(); ++x) {
      out[4 * x + 3] = 0xFF;
    }
  }
}

PoolPtr<ImageCache> decodeBitmap(Bytes dib, Bytes data, const Header& header, bool icon) {
  PoolPtr<ImageCache> image = ImageCache::create(header.width, header.height);
  bool alphaSeen = false;
  if (!image || !readPixels(dib, header, data, *image, alphaSeen)) {
    return {};
  }
  const bool rgb32 = header.bitCount == 32 && header.compression == kRgb;
  if (rgb32 && !alphaSeen) {
    makeOpaque(*image);
  }
  image->setHasAlpha(alphaSeen);
  if (!icon || alphaSeen) {
    return image;
  }
  // The AND mask: a set bit is a transparent pixel. Some writers leave it out; then the
  // picture is opaque.
  const uint64_t maskStride = rowSize(header.width, 1);
  const uint64_t colorBytes = rowSize(header.width, header.bitCount) * header.height;
  if (!inside(data, colorBytes, maskStride * header.height)) {
    return image;
  }
  const uint8_t* mask = data.data() + colorBytes;
  bool anyTransparent = false;
  for (int y = 0; y < header.height; ++y) {
    const uint8_t* in = mask + maskStride * static_cast<uint64_t>(header.height - 1 - y);
    uint8_t* out = image->row(y);
    for (int x = 0; x < header.width; ++x) {
      if ((in[x / 8] >> (7 - x % 8)) & 1) {
        std::memset(out + 4 * x, 0, 4);
        anyTransparent = true;
      }
    }
  }
  image->setHasAlpha(anyTransparent);
  return image;
}

}  // namespace

bool BmpDecoder::recognises(Bytes bytes) {
  return bytes.size() >= 10 && bytes[0] == 'B' && bytes[1] == 'M' && bytes[6] == 0 &&
         bytes[7] == 0 && bytes[8] == 0 && bytes[9] == 0;
}

PoolPtr<ImageCache> BmpDecoder::decode(Bytes bytes) {
  constexpr uint64_t kFileHeaderSize = 14;
  uint32_t dataOffset = 0;
  if (!recognises(bytes) || !readU32(bytes, 10, dataOffset) || bytes.size() < kFileHeaderSize) {
    return {};
  }
  Bytes dib = bytes.subspan(kFileHeaderSize);
  Header header;
  if (!readHeader(dib, false, header) || dataOffset < kFileHeaderSize + header.colorsEnd ||
      dataOffset > bytes.size()) {
    return {};
  }
  return decodeBitmap(dib, bytes.subspan(dataOffset), header, false);
}

PoolPtr<ImageCache> BmpDecoder::decodeIconBitmap(Bytes bytes) {
  Header header;
  if (!readHeader(bytes, true, header)) {
    return {};
  }
  return decodeBitmap(bytes, bytes.subspan(header.colorsEnd), header, true);
}

}  // namespace s::image
