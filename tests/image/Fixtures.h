#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/base/Pooled.h"
#include "image/ImageCache.h"
#include "tests/support/TempFolder.h"

// Small pictures, icon files and PE modules written by the tests themselves: PNG, JPEG and
// GIF through their libraries, BMP, ICO and PE bytes by hand.
namespace fixtures {

using ByteVector = std::vector<uint8_t>;

struct Bgra {
  uint8_t b = 0, g = 0, r = 0, a = 255;
  bool operator==(const Bgra&) const = default;
};
// The colour of pixel (x, y), y = 0 the top row.
using Painter = std::function<Bgra(int x, int y)>;

Painter solid(Bgra color);
// A square picture of one colour, in memory.
s::PoolPtr<s::image::ImageCache> solidPicture(int size, Bgra color, bool alpha);

enum class PngKind { Rgba, Rgb, PaletteWithTransparency, Gray16 };
ByteVector png(int width, int height, PngKind kind, const Painter& paint);
ByteVector jpeg(int width, int height, const Painter& paint, bool gray = false);
// Palette indices per pixel; `transparent` -1 for none.
ByteVector gif(int width, int height, const std::vector<Bgra>& palette,
               const std::function<int(int x, int y)>& index, int transparent, bool interlaced);
// A logical screen with one frame of a single colour placed inside it.
ByteVector gifFrame(int screenWidth, int screenHeight, int left, int top, int width, int height,
                    Bgra color);
// bits 1, 8 (a palette of the distinct colours), 24 or 32.
ByteVector bmp(int width, int height, int bits, const Painter& paint);
// The bitmap of an icon entry: colour rows, then the AND mask (a set bit for alpha 0).
ByteVector iconBitmap(int width, int height, int bits, const Painter& paint);

struct IcoImage {
  uint8_t width = 0;
  uint8_t height = 0;
  uint16_t bits = 32;
  ByteVector data;
};
ByteVector ico(const std::vector<IcoImage>& images);

// A PE32 module with one resource section holding the given icon groups (each a list of
// icon images; ids of the icon resources count from 1). `missingIcons` are ids named in a
// group but left out of the module.
ByteVector peModule(const std::vector<std::vector<IcoImage>>& groups,
                    const std::vector<uint16_t>& missingIcons = {});

// A temporary folder, removed with everything in it, that takes files of bytes.
class TempDir {
 public:
  const std::string& path() const { return path_; }
  std::string write(const std::string& name, const ByteVector& bytes) const;

 private:
  s::test::TempFolder folder_;
  std::string path_ = folder_.root().string();
};

}  // namespace fixtures
