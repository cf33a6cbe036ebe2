#include "image/ImageCache.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace s::image {

ImageCache::~ImageCache() {
  freeBlock();
}

PoolPtr<ImageCache> ImageCache::create(int width, int height) {
  PoolPtr<ImageCache> image = make();
  if (!image->allocate(width, height)) {
    return {};
  }
  return image;
}

bool ImageCache::validSize(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxDimension && height <= kMaxDimension &&
         int64_t{width} * height <= kMaxPixels;
}

void ImageCache::setSize(int width, int height) {
  width_ = width;
  height_ = height;
  rowBytes_ = width * 4;
}

bool ImageCache::ensureCapacity(int width, int height) {
  if (width <= capacityWidth_ && height <= capacityHeight_) {
    return true;
  }
  // Growing one side never shrinks the other: the rows kept must still fit.
  width = std::max(width, capacityWidth_);
  height = std::max(height, capacityHeight_);
  if (!validSize(width, height)) {
    return false;
  }
  // NOLINTNEXTLINE(cppcoreguidelines-no-malloc): the block is the picture's own malloc'd memory
  auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * height * 4));
  if (block == nullptr) {
    return false;
  }
  const int oldWidth = width_;
  const int oldHeight = height_;
  const int newStride = width * 4;
  for (int r = 0; r < oldHeight; ++r) {
    std::memcpy(block + static_cast<ptrdiff_t>(height - r - 1) * newStride, row(r),
                static_cast<size_t>(rowBytes_));
  }
  freeBlock();
  pixels_ = block;
  capacityWidth_ = width;
  capacityHeight_ = height;
  stride_ = newStride;
  setSize(oldWidth, oldHeight);
  return true;
}

bool ImageCache::allocate(int width, int height) {
  if (!validSize(width, height)) {
    return false;
  }
  // NOLINTNEXTLINE(cppcoreguidelines-no-malloc): the block is the picture's own malloc'd memory
  auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * height * 4));
  if (block == nullptr) {
    return false;
  }
  freeBlock();
  pixels_ = block;
  capacityWidth_ = width;
  capacityHeight_ = height;
  stride_ = width * 4;
  setSize(width, height);
  return true;
}

PoolPtr<IImageBuffer> ImageCache::newImage(int width, int height) const {
  PoolPtr<ImageCache> image = create(width, height);
  if (image) {
    image->setHasAlpha(true);
  }
  return image;
}

void ImageCache::reset() {
  freeBlock();
  scaledCopy_.reset();
  hasAlpha_ = true;
}

void ImageCache::freeBlock() {
  std::free(pixels_);  // NOLINT(cppcoreguidelines-no-malloc): the block came from malloc
  pixels_ = nullptr;
  width_ = height_ = rowBytes_ = 0;
  capacityWidth_ = capacityHeight_ = stride_ = 0;
}

}  // namespace s::image
