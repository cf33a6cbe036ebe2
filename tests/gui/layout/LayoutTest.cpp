#include <gtest/gtest.h>

#include <vector>

#include "gui/layout/Box.h"
#include "gui/layout/Spacer.h"
#include "platform/ui/DesktopScale.h"

namespace {

using s::PoolPtr;
using s::gui::IComponent;
using s::gui::win::Box;
using s::gui::win::Spacer;

// A leaf with the given limits: minimum and natural (largest wished) sizes.
Spacer* leaf(int minW, int minH, int natW, int natH) {
  Spacer* s = Spacer::take();
  s->setMinSize(minW, minH);
  s->setNaturalSize(natW, natH);
  return s;
}

struct Placed {
  int x, y, w, h;
  bool operator==(const Placed&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Placed& p) {
  return out << "(" << p.x << "," << p.y << " " << p.w << "x" << p.h << ")";
}

std::vector<Placed> placed(const Box& box) {
  std::vector<Placed> out;
  for (std::uint32_t i = 0; i < box.childCount(); ++i) {
    const IComponent* c = box.getChild(i);
    out.push_back({c->getX(), c->getY(), c->getWidth(), c->getHeight()});
  }
  return out;
}

// Sizes are given at 96 dpi: on a desktop that asks for twice the size, fixed sizes, insets,
// spacings and width overrides are twice as many pixels; percentages stay percentages.
TEST(Layout, SizesGivenAtNinetySixDpiAreScaledToTheScreen) {
  using s::platform::ui::DesktopScale;
  // Back to 1 however the test ends, for the tests after it.
  struct Twice {
    Twice() { DesktopScale::setFactor(2.0); }
    ~Twice() { DesktopScale::setFactor(1.0); }
  } twice;
  auto row = PoolPtr<Box>(Box::newBox(-1, -1, 0, 0, 4, 6, 10, 3, s::gui::kLayoutHorizontal));
  row->setSize(400, 100);
  Box* fixed = Box::take();
  fixed->setFixedWidth(18, false);
  fixed->setFixedHeight(18, false);
  Spacer* gap = Spacer::take();
  gap->setFixedWidth(5);
  Box* wide = Box::take();
  wide->setMinWidthOverride(30);
  wide->setWidthPercent(10, false);
  row->add(fixed);
  row->add(gap);
  row->add(wide);
  row->relayout();
  EXPECT_EQ(row->getInnerWidth(), 400 - 2 * 20);
  EXPECT_EQ(row->getInnerHeight(), 100 - 2 * 6);
  EXPECT_EQ(row->getHSpacing(), 8);
  EXPECT_EQ(row->getVSpacing(), 12);
  EXPECT_EQ(placed(*row)[0], (Placed{0, 0, 36, 36}));
  EXPECT_EQ(placed(*row)[1].x, 36 + 8);
  EXPECT_EQ(placed(*row)[1].w, 10);
  EXPECT_EQ(wide->getMinWidth(), 60);
  // 10 % of the inner 360 pixels, not scaled again.
  EXPECT_EQ(wide->getMaxWidth(), 36);
}

TEST(Layout, PercentageOfTheParentRoundsHalfAwayFromZero) {
  struct Case {
    int innerWidth;
    int percent;
    int expected;
  };
  const Case cases[] = {{301, 50, 151}, {300, 50, 150}, {3, 50, 2}, {105, 10, 11},
                        {104, 10, 10},  {0, 50, 0},     {7, 0, 0},  {200, 100, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.innerWidth << " × " << c.percent << "%");
    auto parent = Box::make();
    parent->setInsetH(5);
    parent->setSize(c.innerWidth + 10, 10);
    Box* child = Box::take();
    child->setWidthPercent(c.percent, false);
    parent->add(child);
    EXPECT_EQ(child->getMaxWidth(), c.expected);
    // A fixed width overrides the percentage, and the percentage the fixed width.
    child->setFixedWidth(33, false);
    EXPECT_EQ(child->getMaxWidth(), 33);
    EXPECT_EQ(child->getMinWidth(), 33);
    child->setWidthPercent(c.percent, false);
    EXPECT_EQ(child->getMaxWidth(), c.expected);
  }
}

struct Child {
  int minW, minH, natW, natH;
};

struct LinearCase {
  const char* name;
  bool vertical;
  int innerW, innerH;
  int spacing;
  int hAlign, vAlign;
  std::vector<Child> children;
  std::vector<Placed> expected;
  int contentMinW, contentMinH, contentMaxW, contentMaxH;
};

class LinearLayoutTest : public testing::TestWithParam<LinearCase> {};

TEST_P(LinearLayoutTest, PlacesChildrenAsTheAlgorithmSays) {
  const LinearCase& c = GetParam();
  auto box = Box::make();
  c.vertical ? box->setLayoutVertical() : box->setLayoutHorizontal();
  box->setHSpacing(c.spacing);
  box->setVSpacing(c.spacing);
  c.hAlign == 0 ? box->alignLeft() : c.hAlign == 1 ? box->alignCenter() : box->alignRight();
  c.vAlign == 0 ? box->alignTop() : c.vAlign == 1 ? box->alignMiddle() : box->alignBottom();
  box->setInset(3);
  box->setSize(c.innerW + 6, c.innerH + 6);
  for (const Child& ch : c.children) {
    box->add(leaf(ch.minW, ch.minH, ch.natW, ch.natH));
  }
  box->relayout();
  EXPECT_EQ(placed(*box), c.expected);
  const auto content = box->getContentSizes();
  EXPECT_EQ(content.contentMinWidth, c.contentMinW);
  EXPECT_EQ(content.contentMinHeight, c.contentMinH);
  EXPECT_EQ(content.contentMaxWidth, c.contentMaxW);
  EXPECT_EQ(content.contentMaxHeight, c.contentMaxH);
  // Children sit inside the inset.
  for (std::uint32_t i = 0; i < box->childCount(); ++i) {
    auto* child = dynamic_cast<Spacer*>(box->getChild(i));
    EXPECT_EQ(child->originX(), 3);
    EXPECT_EQ(child->originY(), 3);
  }
  // The box reports its inset around what its layout needs.
  EXPECT_EQ(box->getMinWidth(), 6 + c.contentMinW);
  EXPECT_EQ(box->getMinHeight(), 6 + c.contentMinH);
}

// Columns (vertical) use {minW, minH, natW, natH}; widths fill the column g.
INSTANTIATE_TEST_SUITE_P(
    Cases, LinearLayoutTest,
    testing::Values(
        LinearCase{"NoExtraRoom",
                   true,
                   50,
                   30,
                   0,
                   0,
                   0,
                   {{10, 10, 10, 40}, {20, 20, 20, 40}},
                   {{0, 0, 10, 10}, {0, 10, 20, 20}},
                   20,
                   30,
                   20,
                   80},
        // extra 40 over a growth room of 60: 20 × 2/3 → 13, 40 × 2/3 → 26, the last pixel to
        // the first child that can take it.
        LinearCase{"ExtraHeightGrowsInProportion",
                   true,
                   50,
                   60,
                   0,
                   0,
                   0,
                   {{10, 10, 50, 30}, {10, 10, 50, 50}},
                   {{0, 0, 50, 24}, {0, 24, 50, 36}},
                   10,
                   20,
                   50,
                   80},
        LinearCase{"SurplusAboveTheBlock",
                   true,
                   50,
                   100,
                   0,
                   0,
                   2,
                   {{10, 10, 50, 30}, {10, 10, 50, 50}},
                   {{0, 20, 50, 30}, {0, 50, 50, 50}},
                   10,
                   20,
                   50,
                   80},
        LinearCase{"SurplusAroundTheBlock",
                   true,
                   50,
                   100,
                   0,
                   0,
                   1,
                   {{10, 10, 50, 30}, {10, 10, 50, 50}},
                   {{0, 10, 50, 30}, {0, 40, 50, 50}},
                   10,
                   20,
                   50,
                   80},
        LinearCase{"SurplusBelowTheBlock",
                   true,
                   50,
                   100,
                   0,
                   0,
                   0,
                   {{10, 10, 50, 30}, {10, 10, 50, 50}},
                   {{0, 0, 50, 30}, {0, 30, 50, 50}},
                   10,
                   20,
                   50,
                   80},
        // No spacing follows the child of height 0; the spacing after the last child counts.
        LinearCase{"NoSpacingAfterZeroHeight",
                   true,
                   50,
                   10,
                   5,
                   0,
                   0,
                   {{10, 10, 10, 10}, {10, 0, 10, 0}, {10, 10, 10, 10}},
                   {{0, 0, 10, 10}, {0, 15, 10, 0}, {0, 15, 10, 10}},
                   10,
                   30,
                   10,
                   30},
        LinearCase{"LastChildOfHeightZeroTakesOneSpacingOff",
                   true,
                   50,
                   10,
                   5,
                   0,
                   0,
                   {{10, 10, 10, 10}, {10, 0, 10, 0}},
                   {{0, 0, 10, 10}, {0, 15, 10, 0}},
                   10,
                   10,
                   10,
                   10},
        LinearCase{"NarrowChildrenCentred",
                   true,
                   100,
                   20,
                   0,
                   1,
                   0,
                   {{40, 10, 40, 10}, {100, 10, 100, 10}},
                   {{30, 0, 40, 10}, {0, 10, 100, 10}},
                   100,
                   20,
                   100,
                   20},
        LinearCase{"ColumnWidensToTheWidestMinimum",
                   true,
                   30,
                   20,
                   0,
                   2,
                   0,
                   {{10, 10, 10, 10}, {60, 10, 60, 10}},
                   {{50, 0, 10, 10}, {0, 10, 60, 10}},
                   60,
                   20,
                   60,
                   20},
        LinearCase{"RowGrowsWidthsInProportion",
                   false,
                   60,
                   20,
                   0,
                   0,
                   0,
                   {{10, 10, 30, 50}, {10, 10, 50, 50}},
                   {{0, 0, 24, 20}, {24, 0, 36, 20}},
                   20,
                   10,
                   80,
                   50},
        LinearCase{"RowSurplusRightAndChildrenAtTheBottom",
                   false,
                   100,
                   30,
                   4,
                   2,
                   2,
                   {{10, 10, 20, 10}, {10, 20, 30, 20}},
                   {{42, 20, 20, 10}, {66, 10, 30, 20}},
                   28,
                   20,
                   58,
                   20}),
    [](const testing::TestParamInfo<LinearCase>& info) { return info.param.name; });

TEST(Layout, PileIgnoresHiddenChildren) {
  auto box = Box::make();
  box->setLayoutPile();
  box->alignCenter();
  box->alignMiddle();
  box->setSize(100, 80);
  Spacer* shown = leaf(20, 10, 40, 30);
  Spacer* hidden = leaf(500, 400, 600, 500);
  box->add(shown);
  box->add(hidden);
  hidden->setVisible(false, false);
  box->relayout();
  const auto content = box->getContentSizes();
  EXPECT_EQ(content.contentMinWidth, 20);
  EXPECT_EQ(content.contentMinHeight, 10);
  EXPECT_EQ(content.contentMaxWidth, 40);
  EXPECT_EQ(content.contentMaxHeight, 30);
  // The visible child takes the area within its limits, centred.
  EXPECT_EQ(placed(*box)[0], (Placed{30, 25, 40, 30}));

  hidden->setVisible(true, false);
  box->relayout();
  EXPECT_EQ(box->getContentSizes().contentMinWidth, 500);
}

TEST(Layout, FlowWrapsLinesAndAlignsThem) {
  struct Case {
    int hAlign;
    std::vector<Placed> expected;
  };
  const Case cases[] = {
      {0, {{0, 0, 40, 10}, {50, 0, 40, 20}, {0, 25, 40, 10}}},
      {1, {{5, 0, 40, 10}, {55, 0, 40, 20}, {30, 25, 40, 10}}},
      {2, {{10, 0, 40, 10}, {60, 0, 40, 20}, {60, 25, 40, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hAlign);
    auto box = Box::make();
    box->setLayoutFlowH();
    box->setHSpacing(10);
    box->setVSpacing(5);
    c.hAlign == 0 ? box->alignLeft() : c.hAlign == 1 ? box->alignCenter() : box->alignRight();
    box->setSize(100, 20);
    box->add(leaf(40, 10, 40, 10));
    box->add(leaf(40, 20, 40, 20));
    box->add(leaf(40, 10, 40, 10));
    box->relayout();
    EXPECT_EQ(placed(*box), c.expected);
    const auto content = box->getContentSizes();
    EXPECT_EQ(content.contentMinWidth, 40);
    EXPECT_EQ(content.contentMinHeight, 20 + 5 + 10);
    EXPECT_EQ(content.contentMaxWidth, 40 * 3 + 10 * 2);
  }
}

TEST(Layout, FlowGrowsLinesIntoExtraHeightAndAlignsTheBlock) {
  auto box = Box::make();
  box->setLayoutFlowH();
  box->alignBottom();
  box->setSize(100, 100);
  box->add(leaf(60, 10, 60, 30));  // may grow by 20
  box->add(leaf(60, 10, 60, 10));
  box->relayout();
  // Extra 80 exceeds the room of 20: the first child reaches its maximum; 60 is left below.
  EXPECT_EQ(placed(*box), (std::vector<Placed>{{0, 60, 60, 30}, {0, 90, 60, 10}}));
}

TEST(Layout, NestedBoxesReportTheirNeedsUpwards) {
  auto outer = Box::make();
  outer->setLayoutVertical();
  outer->setVSpacing(2);
  outer->setSize(200, 100);
  Box* row = Box::newBox(-1, -1, 0, 0, 3, 0, 4, 1, s::gui::kLayoutHorizontal);
  row->add(leaf(10, 8, 30, 8));
  row->add(leaf(20, 6, 20, 6));
  Box* half = Box::newBox(50, -1, 0, 0, 0, 0, 0, 0, s::gui::kLayoutVertical);
  half->add(leaf(5, 5, 500, 5));
  outer->add(row);
  outer->add(half);
  // The inner boxes learn their needs in the first pass, the outer one uses them in the next.
  outer->relayout();
  outer->relayout();
  // Row: insets 4+4 and 1+1 around 10+3+20+3 by 8 (the spacing after the last child counts).
  EXPECT_EQ(row->getMinWidth(), 8 + 36);
  EXPECT_EQ(row->getMinHeight(), 2 + 8);
  EXPECT_EQ(placed(*outer)[0], (Placed{0, 0, 8 + 30 + 3 + 20 + 3, 10}));
  // Half of the outer inner width, though its leaf would take 500.
  EXPECT_EQ(half->getMaxWidth(), 100);
  EXPECT_EQ(placed(*outer)[1], (Placed{0, 12, 100, 5}));
  EXPECT_EQ(outer->getContentSizes().contentMinHeight, 10 + 2 + 5 + 2);
}

TEST(Layout, ShrinkAndMinimumOverrideChangeTheBoxMinimum) {
  auto box = Box::make();
  box->add(leaf(30, 20, 30, 20));
  box->relayout();
  EXPECT_EQ(box->getMinWidth(), 30);
  box->setMinWidthOverride(50);
  EXPECT_EQ(box->getMinWidth(), 50);
  box->setShrinkWidth(true);
  box->setShrinkHeight(true);
  EXPECT_EQ(box->getMinWidth(), 0);
  EXPECT_EQ(box->getMinHeight(), 0);
  EXPECT_EQ(box->getMaxWidth(), 30);
}

TEST(Layout, SpacerExchangesItsSettingsWithItsOrientation) {
  auto spacer = Spacer::make();
  spacer->setFixedWidth(7);
  spacer->setHeightPercent(40);
  spacer->setVertical();
  EXPECT_EQ(spacer->fixedHeight(), 7);
  EXPECT_EQ(spacer->widthPercent(), 40);
  EXPECT_EQ(spacer->fixedWidth(), -1);
  spacer->setHorizontal();
  EXPECT_EQ(spacer->fixedWidth(), 7);
  EXPECT_EQ(spacer->heightPercent(), 40);
}

TEST(Layout, DeferredGeometryIsAppliedInOneMove) {
  auto box = Box::make();
  Spacer* child = leaf(10, 10, 10, 10);
  box->add(child);
  child->beginDeferred();
  child->setPosition(5, 6);
  child->setSize(20, 30);
  EXPECT_TRUE(child->isDeferred());
  EXPECT_EQ(child->getX(), 5);  // stored at once
  child->endDeferred();
  EXPECT_FALSE(child->isDeferred());
}

}  // namespace
