#include "gui/icons/Image.h"

#include <utility>

#include "gui/icons/IconDrawer.h"
#include "gui/icons/IconSourceLoader.h"
#include "platform/ui/DesktopScale.h"

namespace s::gui::win {

void Image::reset() {
  Component::reset();
  picture_.reset();
}

Image* Image::newIconImage(PoolPtr<image::IImageBuffer> picture) {
  Image* icon = take();
  icon->setFixedWidth(kIconSize);
  icon->setFixedHeight(kIconSize);
  icon->setPicture(std::move(picture));
  return icon;
}

Image* Image::newIconImage(std::u16string_view source) {
  return newIconImage(image::util::loadIconSource(source));
}

void Image::setPicture(PoolPtr<image::IImageBuffer> picture) {
  runSync([&] {
    picture_ = std::move(picture);
    fitPicture();
  });
}

void Image::setPicture(image::IImageBuffer* picture) {
  runSync([&] {
    if (picture != picture_.get()) {
      picture_.reset(picture);
    }
    fitPicture();
  });
}

void Image::fitPicture() {
  // A picture's pixels count at 96 dpi, like every size; it is scaled once, when drawn.
  using platform::ui::DesktopScale;
  const std::int32_t width = picture_ != nullptr ? DesktopScale::px(picture_->width()) : 0;
  const std::int32_t height = picture_ != nullptr ? DesktopScale::px(picture_->height()) : 0;
  setMinSize(width, height);
  setNaturalSize(width, height);
  relayoutParent();
  invalidate();
}

void Image::setFixedWidth(std::int32_t px) {
  runSync([&] {
    setFixedWidthValue(platform::ui::DesktopScale::px(px));
    relayoutParent();
  });
}

void Image::setFixedHeight(std::int32_t px) {
  runSync([&] {
    setFixedHeightValue(platform::ui::DesktopScale::px(px));
    relayoutParent();
  });
}

void Image::paint(cairo_t* cr) {
  Component::paint(cr);
  if (picture_ != nullptr) {
    IconDrawer::draw(*picture_, cr, {0, 0, getWidth(), getHeight()});
  }
}

}  // namespace s::gui::win
