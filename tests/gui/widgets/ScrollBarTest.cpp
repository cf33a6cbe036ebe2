#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "gui/layout/Box.h"
#include "gui/layout/Window.h"
#include "gui/widgets/ScrollBar.h"
#include "gui/widgets/ScrollGeometry.h"
#include "platform/offscreen/OffscreenDisplay.h"

namespace {

using s::gui::scrollbar::win::Orientation;
using s::gui::scrollbar::win::ScrollGeometry;
using s::gui::scrollbar::win::ScrollInfo;
using s::gui::scrollbar::win::ScrollPart;
using s::gui::win::Box;
using s::gui::win::ScrollBar;
using s::gui::win::Window;
using s::platform::offscreen::OffscreenDisplay;
using s::platform::ui::Event;
using s::platform::ui::EventKind;

ScrollInfo info(int32_t page, int32_t total, int32_t position) {
  ScrollInfo i;
  i.page = page;
  i.total = total;
  i.position = position;
  return i;
}

TEST(ScrollGeometryTest, ThumbLengthAndOffsetFollowPageAndPosition) {
  struct Case {
    const char* what;
    int32_t length;
    int32_t page;
    int32_t total;
    int32_t position;
    bool thumb;
    int32_t thumbLength;
    int32_t thumbOffset;
  };
  // A bar 16 thick: the track is the length less two arrow squares.
  const Case cases[] = {
      {"at the start", 200, 100, 1000, 0, true, 17, 0},  // 16.8 rounds up
      {"at the end", 200, 100, 1000, 900, true, 17, 151},
      {"half way rounds away from zero", 200, 100, 1000, 450, true, 17, 76},  // 75.5
      {"a position past the end is the end", 200, 100, 1000, 5000, true, 17, 151},
      {"page equal to total", 200, 500, 500, 0, false, 0, 0},
      {"page larger than total", 200, 600, 500, 0, false, 0, 0},
      {"nothing to scroll", 200, 0, 0, 0, false, 0, 0},
      {"a computed 10 becomes 11", 200, 10, 168, 0, true, 11, 0},
      {"far below the floor", 200, 10, 100000, 0, true, 11, 0},
      {"11 stays", 200, 11, 168, 0, true, 11, 0},
      {"12 stays", 200, 12, 168, 0, true, 12, 0},
      {"no room on the track for a thumb", 42, 10, 100, 0, false, 0, 0},
      {"half the whole", 232, 50, 100, 50, true, 100, 100},
  };
  for (const Case& c : cases) {
    const ScrollGeometry g = ScrollGeometry::of(c.length, 16, info(c.page, c.total, c.position));
    EXPECT_EQ(g.track, std::max(c.length - 32, 0)) << c.what;
    EXPECT_EQ(g.hasThumb, c.thumb) << c.what;
    EXPECT_EQ(g.thumbLength, c.thumbLength) << c.what;
    EXPECT_EQ(g.thumbOffset, c.thumbOffset) << c.what;
  }
}

TEST(ScrollGeometryTest, PartsLieInOrderAlongTheBar) {
  const ScrollGeometry g = ScrollGeometry::of(200, 16, info(100, 1000, 450));
  // Arrows 0-15 and 184-199; thumb 92-108 (16 + 76, 17 long).
  const std::pair<int32_t, ScrollPart> at[] = {
      {-1, ScrollPart::kNone},         {0, ScrollPart::kFirstArrow},
      {15, ScrollPart::kFirstArrow},   {16, ScrollPart::kTrackBefore},
      {91, ScrollPart::kTrackBefore},  {92, ScrollPart::kThumb},
      {108, ScrollPart::kThumb},       {109, ScrollPart::kTrackAfter},
      {183, ScrollPart::kTrackAfter},  {184, ScrollPart::kSecondArrow},
      {199, ScrollPart::kSecondArrow}, {200, ScrollPart::kNone},
  };
  for (const auto& [along, part] : at) {
    EXPECT_EQ(g.partAt(along), part) << along;
  }
  // Without a thumb only the arrows take presses.
  EXPECT_EQ(ScrollGeometry::of(200, 16, info(500, 500, 0)).partAt(100), ScrollPart::kNone);
}

TEST(ScrollGeometryTest, DraggingTheThumbMovesInProportionAndSnapsAtTheEnds) {
  // Thumb 17 long at 76 of a 168 track: 151 pixels of room for 900 of range.
  const ScrollInfo i = info(100, 1000, 450);
  const ScrollGeometry g = ScrollGeometry::of(200, 16, i);
  const std::pair<int32_t, int32_t> moves[] = {
      {0, 450},   {10, 510},  // 450 + round(10 x 900 / 151)
      {-75, 3},               // one pixel short of the first arrow
      {-76, 0},               // touching it
      {74, 891},  {75, 900},  // touching the second
      {-1000, 0}, {1000, 900},
  };
  for (const auto& [moved, position] : moves) {
    EXPECT_EQ(g.draggedPosition(i, 450, moved), position) << moved;
  }
}

class ScrollBarTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Window::setDisplayFactory([] { return std::make_unique<OffscreenDisplay>(); });
  }
  static void TearDownTestSuite() { Window::setDisplayFactory(nullptr); }
  void SetUp() override {
    window_ = Window::make();
    window_->setBounds(0, 0, 100, 200);
    bar_ = ScrollBar::newScrollBar(Orientation::kVertical);
    window_->add(bar_);
    window_->show(false);
    bar_->setInfo(100, 1000, 0, 15);
    bar_->addScrollListener(&heard_);
    settle();
  }
  void settle() {
    window_->runSync([] {});
    window_->runSync([] {});
  }
  void mouse(EventKind kind, int32_t y, uint32_t button = 1) {
    Event e;
    e.kind = kind;
    e.window = window_->platformWindow();
    e.x = e.rootX = 8;
    e.y = e.rootY = y;
    e.button = button;
    dynamic_cast<OffscreenDisplay*>(window_->display())->inject(e);
    settle();
  }
  int32_t position() {
    int32_t at = 0;
    window_->runSync([&] { at = bar_->info().position; });
    return at;
  }

  struct Heard : s::gui::events::IEventListener {
    std::atomic<int> count{0};
    void onEvent(s::IObject* /*source*/, int32_t /*code*/) override { ++count; }
  };

  s::PoolPtr<Window> window_;
  ScrollBar* bar_ = nullptr;
  Heard heard_;
};

TEST_F(ScrollBarTest, ArrowsStepSixtyPixelsAndTheTrackAPage) {
  EXPECT_EQ(bar_->getWidth(), ScrollBar::kThickness);
  EXPECT_EQ(bar_->getHeight(), 200);
  mouse(EventKind::kButtonPress, 195);  // second arrow
  mouse(EventKind::kButtonRelease, 195);
  EXPECT_EQ(position(), 60);
  EXPECT_EQ(heard_.count, 1);
  mouse(EventKind::kButtonPress, 150);  // the track after the thumb
  mouse(EventKind::kButtonRelease, 150);
  EXPECT_EQ(position(), 160);
  mouse(EventKind::kButtonPress, 5);  // first arrow
  mouse(EventKind::kButtonRelease, 5);
  EXPECT_EQ(position(), 100);
  // At the start the first arrow changes nothing and tells no one.
  bar_->setInfo(100, 1000, 0, 15);
  const int before = heard_.count;
  mouse(EventKind::kButtonPress, 5);
  mouse(EventKind::kButtonRelease, 5);
  EXPECT_EQ(position(), 0);
  EXPECT_EQ(heard_.count, before);
}

TEST_F(ScrollBarTest, AHeldArrowRepeatsUntilReleased) {
  mouse(EventKind::kButtonPress, 195);
  EXPECT_EQ(position(), 60);
  // The repeat starts after 500 ms and then comes every 100 ms.
  EXPECT_EQ(position(), 60);
  for (int i = 0; i < 300 && position() < 240; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_GE(position(), 240);
  mouse(EventKind::kButtonRelease, 195);
  const int32_t released = position();
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_EQ(position(), released);
}

TEST_F(ScrollBarTest, TheThumbDragsToBothEnds) {
  // Thumb 17 long at the top of the 168 track (16 to 33).
  mouse(EventKind::kButtonPress, 20);
  EXPECT_TRUE(bar_->isHeld());
  mouse(EventKind::kMotion, 20 + 300);
  EXPECT_EQ(position(), 900);
  mouse(EventKind::kMotion, 20 - 300);
  EXPECT_EQ(position(), 0);
  mouse(EventKind::kMotion, 30);  // 10 pixels: round(10 x 900 / 151)
  EXPECT_EQ(position(), 60);
  mouse(EventKind::kButtonRelease, 30);
  EXPECT_FALSE(bar_->isHeld());
}

}  // namespace
