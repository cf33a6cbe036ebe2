#include "gui/icons/IconDrawer.h"

#include "image/BilinearFilter.h"
#include "image/ImageBlender.h"

namespace s::gui {

image::IImageBuffer* IconDrawer::scaled(image::IImageBuffer& picture, int width, int height) {
  if (picture.width() == width && picture.height() == height) {
    return &picture;
  }
  image::IImageBuffer* copy = picture.scaledCopy();
  if (copy != nullptr && copy->width() == width && copy->height() == height) {
    return copy;
  }
  if (copy == nullptr) {
    copy = picture.newImage(width, height);
    if (copy == nullptr) {
      return nullptr;
    }
    picture.setScaledCopy(copy);
  } else {
    if (!copy->ensureCapacity(width, height)) {
      return nullptr;
    }
    copy->setSize(width, height);
  }
  image::filters::scale::BilinearFilter::instance().scale(picture, *copy);
  return copy;
}

void IconDrawer::draw(image::IImageBuffer& picture, image::IImageBuffer& target,
                      const CellBox& box) {
  if (box.empty() || box.height() <= 0) {
    return;
  }
  image::IImageBuffer* shown = scaled(picture, box.width(), box.height());
  if (shown != nullptr) {
    image::ImageBlender::draw(*shown, target, box.left, box.top);
  }
}

}  // namespace s::gui
