#include <gtest/gtest.h>

#include <cstring>

#include "image/BilinearFilter.h"
#include "image/ImageBlender.h"
#include "image/ImageCache.h"

namespace {

using s::image::ImageBlender;
using s::image::ImageCache;
using s::image::filters::scale::BilinearFilter;

void fill(ImageCache& image, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      uint8_t* p = image.pixel(x, y);
      p[0] = b, p[1] = g, p[2] = r, p[3] = a;
    }
  }
}

TEST(ImageCacheTest, RowsAreBottomUpAndCapacityKeepsThem) {
  auto image = ImageCache::create(3, 2);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->rowBytes(), 12);
  EXPECT_EQ(image->stride(), 12);
  EXPECT_TRUE(image->hasAlpha());
  // The top row is the last in memory.
  EXPECT_EQ(image->row(0), image->pixels() + 12);
  EXPECT_EQ(image->row(1), image->pixels());
  std::memset(image->row(0), 7, 12);
  std::memset(image->row(1), 9, 12);

  ASSERT_TRUE(image->ensureCapacity(5, 4));
  EXPECT_EQ(image->width(), 3);
  EXPECT_EQ(image->height(), 2);
  EXPECT_EQ(image->capacityHeight(), 4);
  EXPECT_EQ(image->stride(), 20);
  EXPECT_EQ(image->row(0)[11], 7);
  EXPECT_EQ(image->row(1)[0], 9);
  image->setSize(5, 4);
  EXPECT_EQ(image->rowBytes(), 20);
  // Asking for more rows only keeps the wider rows it has.
  ASSERT_TRUE(image->ensureCapacity(2, 6));
  EXPECT_EQ(image->capacityWidth(), 5);
  EXPECT_EQ(image->width(), 5);
  EXPECT_EQ(image->row(0)[11], 7);
  EXPECT_EQ(image->row(3) + 20, image->row(2));

  EXPECT_FALSE(image->allocate(0, 5));
  EXPECT_FALSE(image->allocate(ImageCache::kMaxDimension + 1, 1));
  EXPECT_FALSE(image->allocate(ImageCache::kMaxDimension, ImageCache::kMaxDimension));

  // Released to the pool, it comes back empty.
  ImageCache* raw = image.release();
  raw->setScaledCopy(raw->newImage(2, 2));
  raw->setHasAlpha(false);
  raw->release();
  auto again = ImageCache::make();
  EXPECT_EQ(again->pixels(), nullptr);
  EXPECT_EQ(again->width(), 0);
  EXPECT_TRUE(again->hasAlpha());
  EXPECT_EQ(again->scaledCopy(), nullptr);
}

TEST(Blend, FormulaOnKnownPixels) {
  struct Case {
    const char* name;
    uint8_t source[4];
    uint8_t destination[4];
    uint8_t result[4];
  };
  const Case cases[] = {
      {"transparent source leaves the destination", {9, 9, 9, 0}, {1, 2, 3, 200}, {1, 2, 3, 200}},
      {"opaque source is copied", {9, 8, 7, 255}, {1, 2, 3, 200}, {9, 8, 7, 255}},
      {"clear destination takes the source", {9, 8, 7, 100}, {1, 2, 3, 0}, {9, 8, 7, 100}},
      // A = 128 + 255 - (255 * 129 >> 8) = 255, w = 128 * 256 / 255 = 128.
      {"half over opaque", {200, 0, 101, 128}, {100, 100, 0, 255}, {150, 50, 50, 255}},
      // 0 - 101 = -101; -101 * 128 >> 8 is -51 (rounding down), not -50.
      {"negative difference rounds down", {0, 0, 0, 128}, {101, 101, 101, 255}, {50, 50, 50, 255}},
      // A = 200 - (100 * 101 >> 8) = 161, w = 25600 / 161 = 159; 200 * 159 >> 8 = 124.
      {"both partly clear", {200, 0, 0, 100}, {0, 0, 0, 100}, {124, 0, 0, 161}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint8_t d[4];
    std::memcpy(d, c.destination, 4);
    ImageBlender::blendPixel(c.source, d);
    EXPECT_EQ(std::memcmp(d, c.result, 4), 0)
        << int(d[0]) << "," << int(d[1]) << "," << int(d[2]) << "," << int(d[3]);
  }
}

TEST(Blend, DrawClipsAndTreatsAlphaLessDestinationAsOpaque) {
  auto destination = ImageCache::create(4, 4);
  fill(*destination, 100, 100, 0, 0);  // alpha byte 0, but the image has no alpha
  destination->setHasAlpha(false);
  auto source = ImageCache::create(3, 3);
  fill(*source, 200, 0, 101, 128);
  ImageBlender::draw(*source, *destination, 2, -1);  // only 2 x 2 of it lands
  const uint8_t* blended = destination->pixel(3, 1);
  EXPECT_EQ(blended[0], 150);
  EXPECT_EQ(blended[3], 255);
  EXPECT_EQ(destination->pixel(2, 0)[0], 150);
  EXPECT_EQ(destination->pixel(1, 0)[0], 100);  // left of the picture
  EXPECT_EQ(destination->pixel(2, 2)[0], 100);  // below it
  EXPECT_EQ(destination->pixel(2, 2)[3], 0);

  // Without alpha the rows are copied as they are.
  source->setHasAlpha(false);
  ImageBlender::draw(*source, *destination, -2, 3);
  EXPECT_EQ(destination->pixel(0, 3)[3], 128);
  EXPECT_EQ(destination->pixel(1, 3)[0], 100);
  ImageBlender::draw(*source, *destination, 9, 9);  // entirely outside: nothing
}

TEST(Scale, SixteenToThirteenIsStable) {
  // Each corner a 4 x 4 block of its own colour, a soft gradient between.
  auto source = ImageCache::create(16, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      uint8_t* p = source->pixel(x, y);
      p[0] = static_cast<uint8_t>(x * 16);
      p[1] = static_cast<uint8_t>(y * 16);
      p[2] = 50;
      p[3] = 255;
      if ((x < 4 || x >= 12) && (y < 4 || y >= 12)) {
        p[0] = x < 4 ? 10 : 250;
        p[1] = y < 4 ? 20 : 240;
      }
    }
  }
  source->setHasAlpha(false);
  auto first = ImageCache::create(13, 13);
  auto second = ImageCache::create(13, 13);
  BilinearFilter::instance().scale(*source, *first);
  BilinearFilter::instance().scale(*source, *second);
  for (int y = 0; y < 13; ++y) {
    EXPECT_EQ(std::memcmp(first->row(y), second->row(y), 13 * 4), 0);
  }
  EXPECT_FALSE(first->hasAlpha());
  const uint8_t expected[4][2] = {{10, 20}, {250, 20}, {10, 240}, {250, 240}};
  const int corners[4][2] = {{0, 0}, {12, 0}, {0, 12}, {12, 12}};
  for (int i = 0; i < 4; ++i) {
    const uint8_t* p = first->pixel(corners[i][0], corners[i][1]);
    EXPECT_EQ(p[0], expected[i][0]);
    EXPECT_EQ(p[1], expected[i][1]);
    EXPECT_EQ(p[2], 50);
    EXPECT_EQ(p[3], 255);
  }
  // The middle is the mean of the gradient.
  const uint8_t* centre = first->pixel(6, 6);
  EXPECT_NEAR(centre[0], 120, 1);
  EXPECT_NEAR(centre[1], 120, 1);
}

TEST(Scale, ClearPixelsDoNotBleedTheirColour) {
  auto source = ImageCache::create(2, 1);
  uint8_t* a = source->pixel(0, 0);
  uint8_t* b = source->pixel(1, 0);
  a[0] = 255, a[1] = 0, a[2] = 0, a[3] = 255;  // opaque blue
  b[0] = 0, b[1] = 0, b[2] = 255, b[3] = 0;    // clear red
  auto target = ImageCache::create(3, 1);
  BilinearFilter::instance().scale(*source, *target);
  EXPECT_TRUE(target->hasAlpha());
  const uint8_t* middle = target->pixel(1, 0);
  EXPECT_EQ(middle[0], 255);
  EXPECT_EQ(middle[2], 0);
  EXPECT_NEAR(middle[3], 128, 1);
}

}  // namespace
