#include <gtest/gtest.h>

#include <cstdlib>

#include "image/BmpDecoder.h"
#include "image/GifDecoder.h"
#include "image/IconLoader.h"
#include "image/ImageFormat.h"
#include "image/JpegDecoder.h"
#include "image/PngDecoder.h"
#include "tests/image/Fixtures.h"

namespace {

using fixtures::Bgra;
using s::image::ImageCache;
using s::image::ImageFormat;

constexpr Bgra kRed{0, 0, 255, 255};
constexpr Bgra kBlue{255, 0, 0, 255};
constexpr Bgra kGreen{0, 255, 0, 255};
constexpr Bgra kClear{0, 0, 0, 0};
constexpr Bgra kHalfGreen{0, 200, 0, 128};

// Four quadrants, so orientation and row order show.
fixtures::Painter quadrants(Bgra a, Bgra b, Bgra c, Bgra d, int size) {
  return
      [=](int x, int y) { return y < size / 2 ? (x < size / 2 ? a : b) : (x < size / 2 ? c : d); };
}

Bgra at(const ImageCache& image, int x, int y) {
  const uint8_t* p = image.pixel(x, y);
  return {p[0], p[1], p[2], p[3]};
}

void expectQuadrants(const ImageCache& image, Bgra a, Bgra b, Bgra c, Bgra d) {
  const int w = image.width() - 1;
  const int h = image.height() - 1;
  EXPECT_EQ(at(image, 0, 0), a);
  EXPECT_EQ(at(image, w, 0), b);
  EXPECT_EQ(at(image, 0, h), c);
  EXPECT_EQ(at(image, w, h), d);
}

struct LosslessCase {
  const char* name;
  fixtures::ByteVector bytes;
  bool alpha;
  Bgra topRight;  // the others: red, blue, blue
};

TEST(Decoders, LosslessFormatsKeepPixelsAndTellAlpha) {
  const auto opaque = quadrants(kRed, kBlue, kBlue, kRed, 8);
  const auto clear = quadrants(kRed, kHalfGreen, kBlue, kRed, 8);
  const auto indexed = [](int x, int y) { return y < 4 ? (x < 4 ? 0 : 1) : (x < 4 ? 1 : 0); };
  const LosslessCase cases[] = {
      {"png rgba", fixtures::png(8, 8, fixtures::PngKind::Rgba, clear), true, kHalfGreen},
      {"png rgb", fixtures::png(8, 8, fixtures::PngKind::Rgb, opaque), false, kBlue},
      {"png palette+tRNS", fixtures::png(8, 8, fixtures::PngKind::PaletteWithTransparency, clear),
       true, kHalfGreen},
      {"gif", fixtures::gif(8, 8, {kRed, kBlue}, indexed, -1, false), false, kBlue},
      {"gif interlaced", fixtures::gif(8, 8, {kRed, kBlue}, indexed, -1, true), false, kBlue},
      {"gif transparent", fixtures::gif(8, 8, {kRed, kBlue}, indexed, 1, false), true, kClear},
      {"bmp 1", fixtures::bmp(8, 8, 1, opaque), false, kBlue},
      {"bmp 8", fixtures::bmp(8, 8, 8, opaque), false, kBlue},
      {"bmp 24", fixtures::bmp(8, 8, 24, opaque), false, kBlue},
      {"bmp 32 alpha", fixtures::bmp(8, 8, 32, clear), true, kHalfGreen},
  };
  for (const LosslessCase& c : cases) {
    SCOPED_TRACE(c.name);
    s::PoolPtr<ImageCache> image = s::image::decodePicture(c.bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 8);
    EXPECT_EQ(image->height(), 8);
    EXPECT_EQ(image->hasAlpha(), c.alpha);
    const Bgra bottomLeft = c.alpha && c.topRight == kClear ? kClear : kBlue;
    expectQuadrants(*image, kRed, c.topRight, bottomLeft, kRed);
  }
}

TEST(Decoders, GreyPngAndZeroAlphaBmpAreOpaque) {
  auto grey = s::image::PngDecoder::decode(
      fixtures::png(4, 4, fixtures::PngKind::Gray16, fixtures::solid({0, 77, 0, 255})));
  ASSERT_TRUE(grey);
  EXPECT_FALSE(grey->hasAlpha());
  EXPECT_EQ(at(*grey, 3, 3), (Bgra{77, 77, 77, 255}));

  // 32-bit rows whose fourth byte is never set carry no transparency.
  auto bmp = s::image::BmpDecoder::decode(fixtures::bmp(4, 4, 32, fixtures::solid({1, 2, 3, 0})));
  ASSERT_TRUE(bmp);
  EXPECT_FALSE(bmp->hasAlpha());
  EXPECT_EQ(at(*bmp, 0, 0), (Bgra{1, 2, 3, 255}));
}

TEST(Decoders, GifFrameSitsOnItsScreen) {
  auto image = s::image::GifDecoder::decode(fixtures::gifFrame(8, 6, 2, 1, 4, 3, kRed));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width(), 8);
  EXPECT_EQ(image->height(), 6);
  EXPECT_TRUE(image->hasAlpha());  // the screen around the frame is clear
  EXPECT_EQ(at(*image, 2, 1), kRed);
  EXPECT_EQ(at(*image, 5, 3), kRed);
  EXPECT_EQ(at(*image, 1, 1), kClear);
  EXPECT_EQ(at(*image, 6, 3), kClear);
  EXPECT_EQ(at(*image, 2, 4), kClear);
  // A frame reaching past the screen is cut at its edge.
  image = s::image::GifDecoder::decode(fixtures::gifFrame(4, 4, 2, 2, 6, 6, kRed));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width(), 4);
  EXPECT_EQ(at(*image, 3, 3), kRed);
  EXPECT_EQ(at(*image, 1, 3), kClear);
}

TEST(Decoders, JpegDecodesColourAndGreyWithoutAlpha) {
  const auto paint = quadrants(kRed, kBlue, kBlue, kRed, 16);
  const auto greyPaint = quadrants(kRed, kGreen, kGreen, kRed, 16);
  for (bool gray : {false, true}) {
    SCOPED_TRACE(gray ? "grey" : "colour");
    auto image =
        s::image::JpegDecoder::decode(fixtures::jpeg(16, 16, gray ? greyPaint : paint, gray));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 16);
    EXPECT_FALSE(image->hasAlpha());
    // Lossy: near the colour, not exact.
    const uint8_t* p = image->pixel(0, 0);
    const uint8_t* q = image->pixel(15, 0);
    if (gray) {
      EXPECT_EQ(p[0], p[2]);
      EXPECT_NE(p[0], q[0]);
    } else {
      EXPECT_GT(p[2], 200);
      EXPECT_LT(p[0], 60);
      EXPECT_GT(q[0], 200);
      EXPECT_LT(q[2], 60);
    }
    EXPECT_EQ(p[3], 255);
  }
}

TEST(Decoders, DamagedFilesGiveNoPicture) {
  const auto paint = fixtures::solid(kRed);
  const fixtures::ByteVector files[] = {
      fixtures::png(16, 16, fixtures::PngKind::Rgb, paint),
      fixtures::jpeg(16, 16, paint),
      fixtures::gif(
          16, 16, {kRed, kBlue}, [](int, int) { return 0; }, -1, false),
      fixtures::bmp(16, 16, 24, paint),
  };
  for (const auto& whole : files) {
    ASSERT_TRUE(s::image::decodePicture(whole));
    for (size_t keep : {whole.size() / 2, size_t{20}, size_t{8}}) {
      SCOPED_TRACE(keep);
      fixtures::ByteVector cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(keep));
      EXPECT_FALSE(s::image::decodePicture(cut));
    }
  }
  // A corrupt checksum in the PNG header chunk.
  auto bad = fixtures::png(16, 16, fixtures::PngKind::Rgb, paint);
  bad[29] ^= 0xFF;
  EXPECT_FALSE(s::image::PngDecoder::decode(bad));
  // A BMP whose header asks for more rows than it carries.
  auto tall = fixtures::bmp(16, 16, 24, paint);
  tall[22] = 0x40;
  EXPECT_FALSE(s::image::BmpDecoder::decode(tall));
  // A PNG claiming a size past the limit is refused before any allocation.
  auto huge = fixtures::png(16, 16, fixtures::PngKind::Rgb, paint);
  huge[16] = 0x7F;
  EXPECT_FALSE(s::image::PngDecoder::decode(huge));
}

TEST(Formats, FirstBytesDecide) {
  auto bytes = [](std::initializer_list<int> head) {
    fixtures::ByteVector v(120, 0);
    size_t i = 0;
    for (int b : head) {
      v[i++] = static_cast<uint8_t>(b);
    }
    return v;
  };
  // An ICO header with one entry: 32 bits, data at 22, 10 bytes.
  auto ico = bytes({0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 10, 0, 0, 0, 22, 0, 0, 0});
  auto icoReserved = ico;
  icoReserved[9] = 1;
  auto icoDeep = ico;
  icoDeep[12] = 33;
  auto icoOverlap = ico;
  icoOverlap[18] = 21;
  auto icoPastEnd = ico;
  icoPastEnd[14] = 99;  // 22 + 99 > 120
  auto icoNoEntries = ico;
  icoNoEntries[4] = 0;
  struct Case {
    const char* name;
    fixtures::ByteVector head;
    ImageFormat format;
  };
  const Case cases[] = {
      {"jpeg E0", bytes({0xFF, 0xD8, 0xFF, 0xE0}), ImageFormat::Jpeg},
      {"jpeg C4", bytes({0xFF, 0xD8, 0xFF, 0xC4}), ImageFormat::Jpeg},
      {"jpeg FE", bytes({0xFF, 0xD8, 0xFF, 0xFE}), ImageFormat::Jpeg},
      {"jpeg 01", bytes({0xFF, 0xD8, 0xFF, 0x01}), ImageFormat::Jpeg},
      {"jpeg F1", bytes({0xFF, 0xD8, 0xFF, 0xF1}), ImageFormat::Unknown},
      {"jpeg 02", bytes({0xFF, 0xD8, 0xFF, 0x02}), ImageFormat::Unknown},
      {"gif87a", bytes({'G', 'I', 'F', '8', '7', 'a'}), ImageFormat::Gif},
      {"gif89a", bytes({'G', 'I', 'F', '8', '9', 'a'}), ImageFormat::Gif},
      {"gif88a", bytes({'G', 'I', 'F', '8', '8', 'a'}), ImageFormat::Unknown},
      {"png", bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), ImageFormat::Png},
      {"bmp", bytes({'B', 'M', 1, 2, 3, 4, 0, 0, 0, 0}), ImageFormat::Bmp},
      {"bmp reserved", bytes({'B', 'M', 1, 2, 3, 4, 0, 0, 0, 1}), ImageFormat::Unknown},
      {"ico", ico, ImageFormat::Ico},
      {"ico reserved byte", icoReserved, ImageFormat::Unknown},
      {"ico 33 bits", icoDeep, ImageFormat::Unknown},
      {"ico data inside directory", icoOverlap, ImageFormat::Unknown},
      {"ico data past end", icoPastEnd, ImageFormat::Unknown},
      {"ico no entries", icoNoEntries, ImageFormat::Unknown},
      {"tiff MM", bytes({'M', 'M', '*'}), ImageFormat::Tiff},
      {"tiff II", bytes({'I', 'I', '*'}), ImageFormat::Tiff},
      {"text", bytes({'h', 'e', 'l', 'l', 'o'}), ImageFormat::Unknown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(s::image::detectImageFormat(c.head, c.head.size()), c.format);
  }
  // The file must be longer than its directory: one entry needs more than 22 bytes.
  auto empty = ico;
  empty[14] = 0;
  EXPECT_EQ(s::image::detectImageFormat(empty, 22), ImageFormat::Unknown);
  EXPECT_EQ(s::image::detectImageFormat(empty, 23), ImageFormat::Ico);
}

TEST(PictureFiles, ContentDecidesNotTheName) {
  fixtures::TempDir dir;
  // Detailed enough that every file is over 100 bytes.
  const auto paint = [](int x, int y) {
    return Bgra{static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 16),
                static_cast<uint8_t>(x * y), 255};
  };
  const std::string pngAsIco =
      dir.write("icon.ico", fixtures::png(16, 16, fixtures::PngKind::Rgb, paint));
  auto image = s::image::loadIcon(pngAsIco);
  ASSERT_TRUE(image);
  EXPECT_EQ(at(*image, 15, 14), (Bgra{240, 224, 210, 255}));
  EXPECT_TRUE(s::image::loadIcon(dir.write("noext", fixtures::bmp(16, 16, 24, paint))));
  EXPECT_TRUE(s::image::loadIcon(dir.write("x.png", fixtures::jpeg(16, 16, paint))));

  fixtures::ByteVector tiff(300, 0);
  tiff[0] = 'I', tiff[1] = 'I', tiff[2] = '*';
  EXPECT_FALSE(s::image::loadIcon(dir.write("scan.tif", tiff)));
  // Exactly 100 bytes is too short, whatever it holds.
  auto small = fixtures::bmp(4, 4, 24, paint);
  small.resize(100);
  EXPECT_FALSE(s::image::loadIcon(dir.write("small.bmp", small)));
  EXPECT_FALSE(s::image::loadIcon(dir.path()));  // a folder
  EXPECT_FALSE(s::image::loadIcon(",0"));
  EXPECT_FALSE(s::image::loadIcon(""));
  EXPECT_FALSE(s::image::loadIcon(dir.path() + "/missing.png"));
}

}  // namespace
