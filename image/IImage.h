#pragma once

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"

namespace s::image {

// A picture of some size; what every image class answers.
class IImage : public IObject, public IPoolable {
 public:
  virtual int width() const = 0;
  virtual int height() const = 0;
  // Pictures of several frames play as an animation; a still picture answers false and 0.
  virtual bool isAnimated() const = 0;
  virtual int frameDelay() const = 0;
};

}  // namespace s::image
