#include "gui/icons/ImageCacher.h"

#include <cstring>
#include <mutex>
#include <utility>

#include "framework/base/Cleaners.h"
#include "gui/icons/IconSourceLoader.h"

namespace s::image::util {

ImageCacher::ImageCacher() {
  // Emptied entries go back to their pools; a table destroyed with the cacher frees them.
  icons_.setup(false, &str::StrBuffer::pool(), &ImageCache::pool(),
               &CleanerIObject<str::StrBuffer>::instance(),
               &CleanerIObject<ImageCache>::instance());
}

ImageCacher::~ImageCacher() {
  reset();
}

void ImageCacher::cacheIcon(const str::StrBuffer& source) {
  {
    std::scoped_lock guard(lock_);
    if (icons_.contains(source)) {
      return;
    }
  }
  std::scoped_lock guard(lock_);
  if (source.empty() || icons_.contains(source)) {
    return;
  }
  PoolPtr<ImageCache> decoded = loadIconSource(source.view());
  put(source, decoded.get());
}

void ImageCacher::store(const str::StrBuffer& source, PoolPtr<ImageCache> decoded) {
  std::scoped_lock guard(lock_);
  if (!source.empty() && !icons_.contains(source)) {
    put(source, decoded.get());
  }
}

void ImageCacher::put(const str::StrBuffer& source, const ImageCache* decoded) {
  PoolPtr<ImageCache> cached;
  if (decoded != nullptr) {
    cached = ImageCache::create(decoded->width(), decoded->height());
    if (cached != nullptr) {
      for (int r = 0; r < decoded->height(); ++r) {
        std::memcpy(cached->row(r), decoded->row(r), static_cast<size_t>(decoded->rowBytes()));
      }
      cached->setHasAlpha(decoded->hasAlpha());
    }
  }
  // Kept also without a picture: the source is not tried again.
  icons_.put(str::StrBuffer::of(source.view()), std::move(cached));
}

ImageCache* ImageCacher::getIcon(const str::StrBuffer& source) const {
  return icons_.get(source);
}

void ImageCacher::reset() {
  std::scoped_lock guard(lock_);
  icons_.clear(icons_.clearKeys(), icons_.clearValues());
}

}  // namespace s::image::util
