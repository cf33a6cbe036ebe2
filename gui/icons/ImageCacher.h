#pragma once

#include <cstdint>

#include "framework/base/ObjLocker.h"
#include "framework/base/Pooled.h"
#include "framework/col/MapTable.h"
#include "framework/str/StrBuffer.h"
#include "image/ImageCache.h"

namespace s::image::util {

// A list's icons: each distinct icon source turned into a picture once (letter case counts:
// Linux paths that differ only in case are different files) and kept while the list lives, also
// when it gave none, so a failing source is not tried again. Painters hold the lock from the
// look-up until the picture is drawn.
class ImageCacher final : public Pooled<ImageCacher, PoolableObject> {
 public:
  ImageCacher();
  ~ImageCacher() override;
  ImageCacher(const ImageCacher&) = delete;
  ImageCacher& operator=(const ImageCacher&) = delete;

  // Makes sure there is an entry for source, loading its picture when there is none. Takes
  // the lock itself; the thread that holds it may call it.
  void cacheIcon(const str::StrBuffer& source);
  // The picture of source's entry; null without an entry or without a picture. Does not
  // lock: the caller holds the lock for as long as it uses the picture.
  ImageCache* getIcon(const str::StrBuffer& source) const;
  // Whether source has an entry, picture or not. Does not lock.
  bool hasEntry(const str::StrBuffer& source) const { return icons_.contains(source); }
  // Enters a picture loaded elsewhere (none: the source gives none), unless source has an entry
  // by now. Takes the lock itself, only to enter it: painters do not wait for the loading.
  void store(const str::StrBuffer& source, PoolPtr<ImageCache> decoded);
  // The number of entries, pictures or not.
  uint32_t count() const { return icons_.count(); }

  void lock() { lock_.lock(); }
  void unlock() { lock_.unlock(); }

  // Empties the icons under the lock, each key and picture back to its pool.
  void reset() override;
  std::u16string_view className() const override { return u"s_image_util_ImageCacher"; }

 private:
  // Under the lock: a copy of the decoded picture (none for none) under source.
  void put(const str::StrBuffer& source, const ImageCache* decoded);

  col::MapTable<str::StrBuffer, ImageCache> icons_;
  thread::ObjLocker lock_;
};

}  // namespace s::image::util
