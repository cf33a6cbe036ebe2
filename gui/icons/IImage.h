#pragma once

#include <cstdint>

#include "framework/base/Pooled.h"
#include "gui/layout/IComponent.h"
#include "image/IImageBuffer.h"

namespace s::gui {

// A component that shows one picture in its box, sized to the picture unless given a size.
class IImage : public virtual IComponent {
 public:
  // Shows `picture` (none for none); the one shown before goes back to its pool.
  virtual void setPicture(PoolPtr<image::IImageBuffer> picture) = 0;
  // The same for a picture handed over bare, which the component then owns.
  virtual void setPicture(image::IImageBuffer* picture) = 0;
  virtual image::IImageBuffer* getPicture() const = 0;
  // A size that overrides the picture's (-1: the picture's again).
  virtual void setFixedWidth(std::int32_t px) = 0;
  virtual void setFixedHeight(std::int32_t px) = 0;
};

}  // namespace s::gui
