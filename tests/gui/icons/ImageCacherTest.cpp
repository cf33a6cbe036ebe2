#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "framework/str/StrBuffer.h"
#include "gui/icons/ImageCacher.h"
#include "tests/image/Fixtures.h"

namespace {

using fixtures::Bgra;
using s::image::ImageCache;
using s::image::util::ImageCacher;
using s::str::StrBuffer;

Bgra gradient(int x, int y) {
  return {static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 16),
          static_cast<uint8_t>(x * y * 7), 200};
}

s::PoolPtr<StrBuffer> text(const std::string& utf8) {
  s::PoolPtr<StrBuffer> buffer = StrBuffer::make();
  buffer->appendAnsiText(utf8);
  return buffer;
}

class ImageCacherTest : public ::testing::Test {
 protected:
  fixtures::TempDir dir_;
  s::PoolPtr<ImageCacher> cacher_ = ImageCacher::make();
};

TEST_F(ImageCacherTest, EachSourceIsReadOnceAndSpellingsInOtherCaseAreOtherFiles) {
  const std::string file =
      dir_.write("Icon.png", fixtures::png(16, 16, fixtures::PngKind::Rgba, gradient));
  // Red with a little noise, so that the file is more than the 100 bytes a picture needs.
  const std::string other =
      dir_.write("ICON.png", fixtures::png(16, 16, fixtures::PngKind::Rgb, [](int x, int y) {
                   return Bgra{static_cast<uint8_t>((x * 7 + y * 13) % 40), 0, 255, 255};
                 }));
  auto source = text(file);
  cacher_->cacheIcon(*source);
  ImageCache* picture = cacher_->getIcon(*source);
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(picture->hasAlpha());
  EXPECT_EQ(picture->width(), 16);
  EXPECT_EQ(picture->pixel(15, 2)[0], 240);
  EXPECT_EQ(picture->pixel(15, 2)[3], 200);
  // The file is gone: the same source can only be answered from the entry.
  std::filesystem::remove(file);
  cacher_->cacheIcon(*text(file));
  EXPECT_EQ(cacher_->getIcon(*source), picture);
  EXPECT_EQ(cacher_->count(), 1u);

  auto upper = text(other);
  cacher_->cacheIcon(*upper);
  ImageCache* red = cacher_->getIcon(*upper);
  ASSERT_NE(red, nullptr);
  EXPECT_NE(red, picture);
  EXPECT_FALSE(red->hasAlpha());
  EXPECT_EQ(red->pixel(3, 3)[2], 255);
  EXPECT_EQ(cacher_->count(), 2u);
}

TEST_F(ImageCacherTest, ASourceWithoutPictureIsNotTriedAgain) {
  const std::string module = dir_.write(
      "one.exe", fixtures::peModule({{{16, 16, 32, fixtures::iconBitmap(16, 16, 32, gradient)}}}));
  auto second = text(module + ",1");
  cacher_->cacheIcon(*second);
  EXPECT_EQ(cacher_->getIcon(*second), nullptr);
  EXPECT_EQ(cacher_->count(), 1u);
  // Now the module has a second group, but the entry stays as it was.
  dir_.write("one.exe",
             fixtures::peModule({{{16, 16, 32, fixtures::iconBitmap(16, 16, 32, gradient)}},
                                 {{16, 16, 32, fixtures::iconBitmap(16, 16, 32, gradient)}}}));
  cacher_->cacheIcon(*second);
  EXPECT_EQ(cacher_->getIcon(*second), nullptr);
  auto first = text(module + ",0");
  cacher_->cacheIcon(*first);
  EXPECT_NE(cacher_->getIcon(*first), nullptr);

  // No process path: a picture file ",0" that does not exist. An empty source makes no entry.
  auto noPath = text(",0");
  cacher_->cacheIcon(*noPath);
  EXPECT_EQ(cacher_->getIcon(*noPath), nullptr);
  EXPECT_EQ(cacher_->count(), 3u);
  cacher_->cacheIcon(*StrBuffer::make());
  EXPECT_EQ(cacher_->count(), 3u);
}

TEST_F(ImageCacherTest, LockIsReentrantAndGuardsOtherThreads) {
  const std::string file = dir_.write("a.bmp", fixtures::bmp(16, 16, 24, gradient));
  auto source = text(file);
  cacher_->lock();
  cacher_->cacheIcon(*source);  // takes the lock again on the same thread
  ImageCache* picture = cacher_->getIcon(*source);
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->hasAlpha());
  // Another thread's cacheIcon goes ahead once the painter lets go.
  bool other = false;
  auto second = text(dir_.write("b.bmp", fixtures::bmp(16, 16, 24, gradient)));
  std::thread painter([&] {
    cacher_->cacheIcon(*second);
    other = true;
  });
  cacher_->unlock();
  painter.join();
  EXPECT_TRUE(other);
  EXPECT_EQ(cacher_->count(), 2u);
}

TEST_F(ImageCacherTest, ReleaseEmptiesTheCacheIntoThePools) {
  auto source = text(dir_.write("c.png", fixtures::png(16, 16, fixtures::PngKind::Rgb, gradient)));
  cacher_->cacheIcon(*source);
  ASSERT_NE(cacher_->getIcon(*source), nullptr);
  const uint32_t freePictures = ImageCache::pool().freeCount();
  ImageCacher* raw = cacher_.release();
  raw->release();
  EXPECT_EQ(ImageCache::pool().freeCount(), freePictures + 1);
  cacher_.reset(ImageCacher::take());
  EXPECT_EQ(cacher_.get(), raw);  // the pool hands the same cacher back, empty
  EXPECT_EQ(cacher_->count(), 0u);
  EXPECT_EQ(cacher_->getIcon(*source), nullptr);
}

}  // namespace
