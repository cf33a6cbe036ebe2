#pragma once

#include <cstdint>

#include "framework/base/Pooled.h"
#include "image/IImage.h"

namespace s::image {

// A picture held in memory as rows of 32-bit pixels (blue, green, red, alpha).
class IImageBuffer : public IImage {
 public:
  // Sets the size inside the present block (which must be large enough).
  virtual void setSize(int width, int height) = 0;
  // Grows the block to at least width x height, keeping the rows and the size.
  virtual bool ensureCapacity(int width, int height) = 0;
  // A new block of width x height, every size set to it, content undefined.
  virtual bool allocate(int width, int height) = 0;
  // A new picture of that size from the pool (with alpha), or null when it cannot be made.
  virtual PoolPtr<IImageBuffer> newImage(int width, int height) const = 0;
  virtual int rowBytes() const = 0;
  virtual int capacityWidth() const = 0;
  virtual int capacityHeight() const = 0;
  virtual int stride() const = 0;
  // Row 0 is the top row.
  virtual uint8_t* row(int r) = 0;
  virtual uint8_t* pixels() = 0;
  virtual const uint8_t* row(int r) const = 0;
  virtual const uint8_t* pixels() const = 0;
  virtual bool hasAlpha() const = 0;
  virtual void setHasAlpha(bool hasAlpha) = 0;
  virtual IImageBuffer* scaledCopy() const = 0;
  // The previous copy goes back to its pool.
  virtual void setScaledCopy(PoolPtr<IImageBuffer> image) = 0;
};

}  // namespace s::image
