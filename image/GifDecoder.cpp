#include "image/GifDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace s::image {

namespace {

struct GifInput {
  Bytes bytes;
  size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* input = static_cast<GifInput*>(gif->UserData);
  size_t n =
      std::min(static_cast<size_t>(std::max(length, 0)), input->bytes.size() - input->position);
  std::memcpy(out, input->bytes.data() + input->position, n);
  input->position += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

// Reads extension blocks up to the first image, keeping the transparent colour of the last
// graphics control block.
bool skipExtension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) {
    return false;
  }
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
    GraphicsControlBlock control{};
    if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
      transparent = control.TransparentColor;
    }
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) {
      return false;
    }
  }
  return true;
}

// Reads the first frame onto the logical screen; a screen of size 0 takes the frame's size.
bool readFrame(GifFileType* gif, int transparent, ImageCache& image) {
  if (DGifGetImageDesc(gif) != GIF_OK) {
    return false;
  }
  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
  if (map == nullptr || map->Colors == nullptr || frame.Width <= 0 || frame.Height <= 0 ||
      frame.Left < 0 || frame.Top < 0 || !ImageCache::validSize(frame.Width, frame.Height)) {
    return false;
  }
  const bool noScreen = gif->SWidth <= 0 || gif->SHeight <= 0;
  if (!image.allocate(noScreen ? frame.Width : gif->SWidth,
                      noScreen ? frame.Height : gif->SHeight)) {
    return false;
  }
  bool covered = frame.Left == 0 && frame.Top == 0 && frame.Width >= image.width() &&
                 frame.Height >= image.height();
  bool anyTransparent = false;
  for (int y = 0; y < image.height(); ++y) {
    std::memset(image.row(y), 0, static_cast<size_t>(image.rowBytes()));
  }
  // Interlaced frames store rows in four passes.
  static constexpr int kStart[] = {0, 4, 2, 1};
  static constexpr int kStep[] = {8, 8, 4, 2};
  const int passes = frame.Interlace ? 4 : 1;
  std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
  for (int pass = 0; pass < passes; ++pass) {
    const int start = frame.Interlace ? kStart[pass] : 0;
    const int step = frame.Interlace ? kStep[pass] : 1;
    for (int y = start; y < frame.Height; y += step) {
      if (DGifGetLine(gif, line.data(), frame.Width) != GIF_OK) {
        return false;
      }
      const int canvasY = frame.Top + y;
      if (canvasY >= image.height()) {
        continue;
      }
      for (int x = 0; x < frame.Width; ++x) {
        const int canvasX = frame.Left + x;
        if (canvasX >= image.width()) {
          break;
        }
        uint8_t* out = image.pixel(canvasX, canvasY);
        const int index = line[static_cast<size_t>(x)];
        if (index == transparent || index >= map->ColorCount) {
          anyTransparent = true;
          continue;  // stays 0, 0, 0, 0
        }
        const GifColorType& color = map->Colors[index];
        out[0] = color.Blue;
        out[1] = color.Green;
        out[2] = color.Red;
        out[3] = 0xFF;
      }
    }
  }
  image.setHasAlpha(anyTransparent || !covered);
  return true;
}

}  // namespace

PoolPtr<ImageCache> GifDecoder::decode(Bytes bytes) {
  if (bytes.size() < 6 || (std::memcmp(bytes.data(), "GIF87a", 6) != 0 &&
                           std::memcmp(bytes.data(), "GIF89a", 6) != 0)) {
    return {};
  }
  GifInput input{bytes};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&input, readFromMemory, &error));
  if (!gif) {
    return {};
  }
  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) != GIF_OK) {
      return {};
    }
    if (type == EXTENSION_RECORD_TYPE) {
      if (!skipExtension(gif.get(), transparent)) {
        return {};
      }
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      break;
    } else {
      return {};  // the file ends before any frame
    }
  }
  PoolPtr<ImageCache> image = ImageCache::make();
  if (!readFrame(gif.get(), transparent, *image)) {
    return {};
  }
  return image;
}

}  // namespace s::image
