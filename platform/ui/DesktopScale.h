#pragma once

#include <cstdint>
#include <optional>

namespace s::platform::ui {

// How much larger than at 96 dots per inch the desktop wants things drawn. The toolkit's
// sizes are given at 96 dpi, as the layouts were drawn; px() turns them into the
// screen's pixels, and text is laid out at dpi(). The program sets the factor once, before it
// opens its windows; until then it is 1.
class DesktopScale {
 public:
  static constexpr double kBaseDpi = 96.0;
  static constexpr double kSmallest = 0.5;
  static constexpr double kLargest = 4.0;

  // The factor the desktop asks for, as X programs read it: GDK_SCALE or QT_SCALE_FACTOR when
  // set to a number (a user's word for the programs started with it), else the X resource
  // Xft.dpi over 96, else 1. Within [kSmallest, kLargest]; a value that is no number is
  // passed over.
  static double choose(std::optional<double> xftDpi, const char* gdkScale,
                       const char* qtScaleFactor);
  // choose() with this process's environment.
  static double fromEnvironment(std::optional<double> xftDpi);

  static double factor();
  static void setFactor(double factor);
  static double dpi() { return kBaseDpi * factor(); }
  // A length given at 96 dpi in the screen's pixels, rounded half away from zero; a negative
  // one (the toolkit's "not set") stays as it is.
  static std::int32_t px(std::int32_t length);
  // The width of a drawn line: whole pixels, so that lines stay sharp at a factor of 1.5.
  static std::int32_t line();
};

}  // namespace s::platform::ui
