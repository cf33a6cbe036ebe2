#include <gtest/gtest.h>

#include <optional>

#include "platform/ui/DesktopScale.h"

namespace {

using s::platform::ui::DesktopScale;

struct ScaleCase {
  std::optional<double> xftDpi;
  const char* gdkScale;
  const char* qtScaleFactor;
  double factor;
};

class ScaleChoice : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleChoice, FollowsTheEnvironmentThenTheResourcesThenNinetySixDpi) {
  const ScaleCase& c = GetParam();
  EXPECT_DOUBLE_EQ(DesktopScale::choose(c.xftDpi, c.gdkScale, c.qtScaleFactor), c.factor);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ScaleChoice,
    testing::Values(ScaleCase{std::nullopt, nullptr, nullptr, 1.0},
                    ScaleCase{192.0, nullptr, nullptr, 2.0},
                    ScaleCase{144.0, nullptr, nullptr, 1.5},
                    ScaleCase{120.0, nullptr, nullptr, 1.25},
                    // The environment speaks for the programs started with it.
                    ScaleCase{192.0, "1", nullptr, 1.0}, ScaleCase{96.0, nullptr, "1.5", 1.5},
                    ScaleCase{std::nullopt, "2", "3", 2.0},
                    // What is no number is passed over; extremes are held in bounds.
                    ScaleCase{144.0, "two", "", 1.5}, ScaleCase{std::nullopt, "-2", "0", 1.0},
                    ScaleCase{960.0, nullptr, nullptr, 4.0}, ScaleCase{24.0, nullptr, nullptr, 0.5},
                    ScaleCase{std::nullopt, "1e400", nullptr, 1.0}));

TEST(DesktopScaleTest, LengthsAndLinesInScreenPixels) {
  // Back to 1 however the test ends, for the tests after it.
  struct Restore {
    ~Restore() { DesktopScale::setFactor(1.0); }
  } restore;
  struct Length {
    double factor;
    std::int32_t given;
    std::int32_t px;
    std::int32_t line;
  };
  for (const Length& l : {Length{1.0, 18, 18, 1}, Length{1.5, 18, 27, 1}, Length{1.5, 13, 20, 1},
                          Length{2.0, 18, 36, 2}, Length{1.25, 2, 3, 1}, Length{2.0, -1, -1, 2},
                          Length{3.0, 0, 0, 3}}) {
    DesktopScale::setFactor(l.factor);
    EXPECT_EQ(DesktopScale::px(l.given), l.px) << l.factor << " " << l.given;
    EXPECT_EQ(DesktopScale::line(), l.line) << l.factor;
    EXPECT_DOUBLE_EQ(DesktopScale::dpi(), 96.0 * l.factor);
  }
}

}  // namespace
