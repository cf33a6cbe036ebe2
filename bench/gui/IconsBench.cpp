#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/str/StrBuffer.h"
#include "gui/icons/CellLayout.h"
#include "gui/icons/IconDrawer.h"
#include "gui/icons/ImageCacher.h"
#include "image/BilinearFilter.h"
#include "image/ImageCache.h"
#include "tests/image/Fixtures.h"

namespace {

using s::image::ImageCache;

fixtures::Bgra gradient(int x, int y) {
  return {static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 16),
          static_cast<uint8_t>(x * y * 7), static_cast<uint8_t>(128 + x * 8)};
}

// A repaint of a cell whose icon is cached: the look-up ignoring case, then the kept scaled
// copy blended into the cell.
void CachedIconPaint(benchmark::State& state) {
  fixtures::TempDir dir;
  auto cacher = s::image::util::ImageCacher::make();
  std::vector<s::PoolPtr<s::str::StrBuffer>> sources;
  for (int i = 0; i < 100; ++i) {
    const std::string file = dir.write("p" + std::to_string(i) + ".png",
                                       fixtures::png(16, 16, fixtures::PngKind::Rgba, gradient));
    sources.push_back(s::str::StrBuffer::make());
    sources.back()->appendAnsiText(file);
    cacher->cacheIcon(*sources.back());
  }
  auto cell = ImageCache::create(200, 18);
  cell->setHasAlpha(false);
  const auto layout = s::gui::CellLayout::of({0, 0, 200, 18}, 0, {.icon = true});
  size_t i = 0;
  for (auto _ : state) {
    const s::str::StrBuffer& source = *sources[i++ % sources.size()];
    cacher->lock();
    cacher->cacheIcon(source);
    if (ImageCache* picture = cacher->getIcon(source)) {
      s::gui::IconDrawer::draw(*picture, *cell, layout.icon);
    }
    cacher->unlock();
  }
}
BENCHMARK(CachedIconPaint);

void Scale16To13(benchmark::State& state) {
  auto source = ImageCache::create(16, 16);
  std::memset(source->pixels(), 0x80, 16 * 16 * 4);
  auto target = ImageCache::create(13, 13);
  for (auto _ : state) {
    s::image::filters::scale::BilinearFilter::instance().scale(*source, *target);
    benchmark::DoNotOptimize(target->pixels());
  }
}
BENCHMARK(Scale16To13);

}  // namespace

BENCHMARK_MAIN();
