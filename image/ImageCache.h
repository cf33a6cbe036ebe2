#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "framework/base/Pooled.h"
#include "image/IImageBuffer.h"

namespace s::image {

// A 32-bit picture in memory: pixels blue, green, red, alpha; rows stored bottom-up in a
// block from malloc. Row r (0 = top) starts at pixels + (capacityHeight - r - 1) * stride.
class ImageCache final : public Pooled<ImageCache, IImageBuffer> {
 public:
  // Bounds what a decoder may ask for, so hostile headers cannot demand gigabytes.
  static constexpr int kMaxDimension = 16384;
  static constexpr int64_t kMaxPixels = int64_t{1} << 24;

  ImageCache() = default;
  ~ImageCache() override;
  ImageCache(const ImageCache&) = delete;
  ImageCache& operator=(const ImageCache&) = delete;

  // A picture of width x height from the pool, or empty when the size is refused.
  static PoolPtr<ImageCache> create(int width, int height);
  // Whether width x height is a size a picture may have.
  static bool validSize(int width, int height);

  int width() const override { return width_; }
  int height() const override { return height_; }
  bool isAnimated() const override { return false; }
  int frameDelay() const override { return 0; }
  void setSize(int width, int height) override;
  bool ensureCapacity(int width, int height) override;
  bool allocate(int width, int height) override;
  PoolPtr<IImageBuffer> newImage(int width, int height) const override;
  int rowBytes() const override { return rowBytes_; }
  int capacityWidth() const override { return capacityWidth_; }
  int capacityHeight() const override { return capacityHeight_; }
  int stride() const override { return stride_; }
  uint8_t* row(int r) override { return pixels_ + rowOffset(r); }
  uint8_t* pixels() override { return pixels_; }
  const uint8_t* row(int r) const override { return pixels_ + rowOffset(r); }
  const uint8_t* pixels() const override { return pixels_; }
  bool hasAlpha() const override { return hasAlpha_; }
  void setHasAlpha(bool hasAlpha) override { hasAlpha_ = hasAlpha; }
  IImageBuffer* scaledCopy() const override { return scaledCopy_.get(); }
  void setScaledCopy(PoolPtr<IImageBuffer> image) override { scaledCopy_ = std::move(image); }

  // Pixel (x, y), y = 0 the top row.
  uint8_t* pixel(int x, int y) { return row(y) + static_cast<ptrdiff_t>(x) * 4; }
  const uint8_t* pixel(int x, int y) const { return row(y) + static_cast<ptrdiff_t>(x) * 4; }

  void reset() override;
  std::u16string_view className() const override { return u"s_image_ImageCache"; }

 private:
  ptrdiff_t rowOffset(int r) const {
    return static_cast<ptrdiff_t>(capacityHeight_ - r - 1) * stride_;
  }
  void freeBlock();

  uint8_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int rowBytes_ = 0;
  int capacityWidth_ = 0;
  int capacityHeight_ = 0;
  int stride_ = 0;
  bool hasAlpha_ = true;
  PoolPtr<IImageBuffer> scaledCopy_;
};

}  // namespace s::image
