#include <gtest/gtest.h>

#include <atomic>

#include "gui/layout/Component.h"
#include "gui/widgets/CounterData.h"

namespace {

using s::gui::counter::CounterData;

// A component that counts the repaints it is asked for.
class Viewer final : public s::Pooled<Viewer, s::gui::win::Component> {
 public:
  void repaint() override { ++repaints; }
  std::u16string_view className() const override { return u"test_Viewer"; }
  std::atomic<int> repaints{0};
};

TEST(CounterDataTest, SamplesPerPointAdditionsMakeOnePointAndTheNextBeginsAnother) {
  auto series = CounterData::make();
  auto viewer = Viewer::make();
  series->setSamplesPerPoint(3);
  series->setUnbounded(true);
  series->prepare();
  series->addViewer(viewer.get());
  ASSERT_EQ(series->size(), 1000U);
  for (std::int64_t v : {10, 20, 30}) {
    series->add(v);
  }
  EXPECT_EQ(series->getPosition(), 0);
  EXPECT_EQ(series->pointBack(0), 60);
  EXPECT_EQ(viewer->repaints, 0);
  series->add(5);
  EXPECT_EQ(series->getPosition(), 1);
  EXPECT_EQ(series->pointBack(0), 5);
  EXPECT_EQ(series->pointBack(1), 60);
  EXPECT_EQ(series->getSamplesInPoint(), 1);
  EXPECT_EQ(viewer->repaints, 1);
}

TEST(CounterDataTest, TheRingWrapsAfterAThousandPointsAndABoundedSeriesIsClamped) {
  auto series = CounterData::make();
  series->setBase(7);
  series->prepare();
  EXPECT_EQ(series->pointBack(500), 7);
  series->add(1);  // into point 0
  for (int i = 1; i <= 999; ++i) {
    series->add(i % 50);
  }
  EXPECT_EQ(series->getPosition(), 999);
  EXPECT_EQ(series->pointBack(999), 8);  // point 0: base 7 + 1
  series->add(500);                      // the thousandth new point overwrites point 0
  EXPECT_EQ(series->getPosition(), 0);
  EXPECT_EQ(series->pointBack(0), 100);  // clamped to the maximum
  series->setMaximum(1000);
  series->add(-1000);
  EXPECT_EQ(series->pointBack(0), 7 - 1000);
}

TEST(CounterDataTest, AnUnpreparedSeriesPreparesItselfAndResetRestoresTheDefaults) {
  auto series = CounterData::make();
  series->add(3);
  EXPECT_EQ(series->size(), 1000U);
  EXPECT_EQ(series->pointBack(0), 3);
  series->setScaleFloor(1);
  series->reset();
  EXPECT_EQ(series->size(), 0U);
  EXPECT_EQ(series->getScaleFloor(), 100);
  EXPECT_EQ(series->getMaximum(), 100);
  EXPECT_FALSE(series->isUnbounded());
}

}  // namespace
