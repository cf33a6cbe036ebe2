#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "gui/icons/IconDrawer.h"
#include "gui/icons/Image.h"
#include "gui/layout/Box.h"
#include "gui/layout/Window.h"
#include "image/ImageCache.h"
#include "platform/offscreen/OffscreenDisplay.h"
#include "platform/ui/Surfaces.h"
#include "tests/image/Fixtures.h"

namespace {

using fixtures::Bgra;
using s::gui::win::Box;
using s::gui::win::Image;
using s::gui::win::Window;
using s::image::ImageCache;
using s::platform::offscreen::OffscreenDisplay;

// What lies beneath the images: red 40, green 80, blue 120.
constexpr std::uint32_t kBeneath = 0x285078;
// An Image's own background when it is not transparent.
constexpr std::uint32_t kSystemFace = 0xF0F0F0;
constexpr int kAt = 10;  // where the box's inset puts its first child

class ImageTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Window::setDisplayFactory([] { return std::make_unique<OffscreenDisplay>(); });
  }
  void SetUp() override {
    window_ = Window::make();
    window_->setBounds(0, 0, 120, 80);
    root_ = Box::newBox(100, 100, 0, 0, 0, 0, kAt, kAt, s::gui::kLayoutHorizontal);
    root_->setBackground(40, 80, 120, false);
    window_->add(root_);
    window_->show(false);
    settle();
  }
  void settle() {
    window_->runSync([] {});
    window_->runSync([] {});
  }
  OffscreenDisplay& screen() { return *dynamic_cast<OffscreenDisplay*>(window_->display()); }
  // What the screen shows.
  std::uint32_t pixel(int x, int y) {
    std::uint32_t value = 0;
    window_->runSync([&] { value = screen().pixel(window_->platformWindow(), x, y); });
    return value;
  }
  // What the window has painted, shown or not.
  std::uint32_t painted(int x, int y) {
    std::uint32_t value = 0;
    window_->runSync([&] {
      value =
          s::platform::ui::surfaces::pixelAt(screen().backBuffer(window_->platformWindow()), x, y);
    });
    return value;
  }
  Image* shown(Image* image) {
    root_->add(image);
    settle();
    return image;
  }

  s::PoolPtr<Window> window_;
  Box* root_ = nullptr;
  fixtures::TempDir dir_;
};

TEST_F(ImageTest, PicturesAreCompositedOntoWhatLiesBeneath) {
  Image* image = shown(Image::take());
  image->setTransparent(true);
  struct Case {
    const char* name;
    Bgra color;
    bool alpha;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"opaque", {10, 20, 250, 255}, false, 0xFA140A},
      // Sa 128 over Da 255: A = 255, w = 128 * 256 / 255 = 128; red 40 + (215 * 128 >> 8),
      // green 80 + (-80 * 128 >> 8), blue 120 + (-120 * 128 >> 8).
      {"half transparent", {0, 0, 255, 128}, true, 0x93283C},
      {"transparent", {0, 0, 255, 0}, true, kBeneath},
      // Without alpha the alpha bytes mean nothing: copied as they stand.
      {"no alpha", {200, 100, 50, 0}, false, 0x3264C8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    image->setPicture(fixtures::solidPicture(8, c.color, c.alpha).release());
    settle();
    EXPECT_EQ(image->getWidth(), 8);  // the picture's size
    EXPECT_EQ(image->getHeight(), 8);
    EXPECT_EQ(pixel(kAt, kAt), c.expected);
    EXPECT_EQ(pixel(kAt + 7, kAt + 7), c.expected);
    EXPECT_EQ(pixel(kAt + 8, kAt), kBeneath);
    EXPECT_EQ(pixel(kAt, kAt + 8), kBeneath);
  }
}

TEST_F(ImageTest, RepaintingPartOfTheImageDoesNotBlendTwice) {
  Image* image = shown(Image::take());
  image->setTransparent(true);
  image->setPicture(fixtures::solidPicture(8, {0, 0, 255, 128}, true).release());
  settle();
  auto expectOnce = [&] {
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        // Only the repainted part is shown again: the rest is checked where it is painted.
        ASSERT_EQ(painted(kAt + x, kAt + y), 0x93283Cu) << x << "," << y;
      }
    }
  };
  image->repaint(2, 2, 3, 3);
  expectOnce();
  window_->invalidate({kAt + 6, 0, 10, kAt + 4});  // across the image's top right corner
  settle();
  expectOnce();
}

TEST_F(ImageTest, IconImagesOfFilesAreSixteenSquare) {
  const Bgra topLeft{30, 60, 90, 255};
  // Detail outside the top left quarter keeps the files above 100 bytes.
  auto painter = [&](int x, int y) {
    return x < 16 && y < 16 ? topLeft
                            : Bgra{static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 8),
                                   static_cast<uint8_t>(x * y), 255};
  };
  const std::string png =
      dir_.write("icon.png", fixtures::png(32, 32, fixtures::PngKind::Rgb, painter));
  const std::string ico = dir_.write(
      "icon.ico",
      fixtures::ico({{32, 32, 32, fixtures::iconBitmap(32, 32, 32, fixtures::solid({1, 2, 3}))},
                     {16, 16, 32, fixtures::iconBitmap(16, 16, 32, painter)}}));
  struct Case {
    std::string path;
    int pictureSize;
  };
  const Case cases[] = {{png, 32}, {ico, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Image* image = Image::newIconImage(std::u16string(c.path.begin(), c.path.end()));
    ASSERT_NE(image->getPicture(), nullptr);
    EXPECT_EQ(image->getPicture()->width(), c.pictureSize);
    EXPECT_EQ(image->getMinWidth(), 16);
    EXPECT_EQ(image->getMaxHeight(), 16);
    shown(image);
    EXPECT_EQ(image->getWidth(), 16);
    EXPECT_EQ(pixel(kAt, kAt), 0x5A3C1Eu);
    EXPECT_EQ(pixel(kAt + 6, kAt + 6), 0x5A3C1Eu);
    EXPECT_EQ(pixel(kAt + 16, kAt), kBeneath);
    root_->remove(image, true);
  }
}

TEST_F(ImageTest, SourcesWithoutPictureGiveAnEmptyIconBox) {
  const std::string text =
      dir_.write("notes.ico", fixtures::ByteVector(200, static_cast<uint8_t>('x')));
  const std::u16string sources[] = {u"/nonexistent/icon.png",
                                    std::u16string(text.begin(), text.end()), u",0"};
  for (const std::u16string& source : sources) {
    Image* image = shown(Image::newIconImage(source));
    EXPECT_EQ(image->getPicture(), nullptr);
    EXPECT_EQ(image->getWidth(), 16);
    EXPECT_EQ(image->getHeight(), 16);
    EXPECT_EQ(pixel(kAt + 8, kAt + 8), kSystemFace);
    EXPECT_EQ(pixel(kAt + 16, kAt), kBeneath);
    root_->remove(image, true);
  }
}

TEST(ImagePictureTest, PicturesGoBackToTheirPool) {
  s::PoolPtr<Image> image = Image::make();
  auto& pool = ImageCache::pool();
  auto first = fixtures::solidPicture(4, {}, true);
  auto second = fixtures::solidPicture(4, {}, true);
  image->setPicture(first.release());
  const auto free = pool.freeCount();
  image->setPicture(second.release());
  EXPECT_EQ(pool.freeCount(), free + 1);
  image->setPicture(image->getPicture());  // the same picture again is kept
  EXPECT_EQ(pool.freeCount(), free + 1);
  image.reset();
  EXPECT_EQ(pool.freeCount(), free + 2);
  EXPECT_EQ(Image::make()->getPicture(), nullptr);
}

// Targets other than an opaque back buffer drawn at whole pixels.
TEST(IconDrawerCairoTest, OtherTargets) {
  auto half = fixtures::solidPicture(4, {0, 0, 255, 128}, true);
  struct Case {
    const char* name;
    cairo_format_t format;
    double scale;
    int x, y;
    std::uint32_t expected;  // cairo's native pixel
  };
  const Case cases[] = {
      // Onto transparent pixels the picture is copied, then stored premultiplied.
      {"transparent target", CAIRO_FORMAT_ARGB32, 1, 3, 3, 0x80800000},
      {"nothing beside it", CAIRO_FORMAT_ARGB32, 1, 4, 3, 0},
      // Drawn scaled, the pixels beneath cannot be read one to one: cairo blends.
      {"scaled", CAIRO_FORMAT_RGB24, 2, 5, 5, 0xFF7F7F},
      {"beyond the scaled box", CAIRO_FORMAT_RGB24, 2, 8, 8, 0xFFFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cairo_surface_t* surface = cairo_image_surface_create(c.format, 12, 12);
    cairo_t* cr = cairo_create(surface);
    if (c.format == CAIRO_FORMAT_RGB24) {
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_paint(cr);
    }
    cairo_scale(cr, c.scale, c.scale);
    s::gui::IconDrawer::draw(*half, cr, {0, 0, 4, 4});
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::uint32_t v = 0;
    std::memcpy(&v,
                cairo_image_surface_get_data(surface) +
                    c.y * cairo_image_surface_get_stride(surface) + c.x * 4,
                4);
    if (c.format == CAIRO_FORMAT_RGB24) {
      v &= 0xFFFFFF;
    }
    EXPECT_EQ(v, c.expected);
    cairo_surface_destroy(surface);
  }
}

}  // namespace
