#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/icons/IImage.h"
#include "gui/layout/Component.h"

namespace s::gui::win {

namespace detail {
class ImageBases : public Component, public IImage {};
}  // namespace detail

// A picture in a box, blended onto what lies beneath it when it has alpha and scaled to the
// box when their sizes differ (the scaled version is kept with the picture).
class Image final : public Pooled<Image, detail::ImageBases> {
 public:
  static constexpr std::int32_t kIconSize = 16;

  Image() = default;

  // A 16 x 16 image of `picture` (none leaves the box empty).
  static Image* newIconImage(PoolPtr<image::IImageBuffer> picture);
  // The same with the picture of an icon source, read as list cells read theirs; a source
  // that gives no picture leaves the box empty.
  static Image* newIconImage(std::u16string_view source);

  void setPicture(PoolPtr<image::IImageBuffer> picture) override;
  // Owns `picture`; the same picture again is kept.
  void setPicture(image::IImageBuffer* picture) override;
  image::IImageBuffer* getPicture() const override { return picture_.get(); }
  void setFixedWidth(std::int32_t px) override;
  void setFixedHeight(std::int32_t px) override;

  void paint(cairo_t* cr) override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_Image"; }

 private:
  // On the window's thread: the box takes the picture's size.
  void fitPicture();

  PoolPtr<image::IImageBuffer> picture_;
};

}  // namespace s::gui::win
