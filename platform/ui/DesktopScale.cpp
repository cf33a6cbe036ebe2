#include "platform/ui/DesktopScale.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>

namespace s::platform::ui {

namespace {

std::atomic<double>& current() {
  static std::atomic<double> factor{1.0};
  return factor;
}

std::optional<double> number(const char* text) {
  if (text == nullptr || *text == '\0') {
    return std::nullopt;
  }
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (*end != '\0' || !std::isfinite(value) || value <= 0) {
    return std::nullopt;
  }
  return value;
}

double clamped(double factor) {
  return std::clamp(factor, DesktopScale::kSmallest, DesktopScale::kLargest);
}

}  // namespace

double DesktopScale::choose(std::optional<double> xftDpi, const char* gdkScale,
                            const char* qtScaleFactor) {
  for (const char* setting : {gdkScale, qtScaleFactor}) {
    if (const std::optional<double> value = number(setting)) {
      return clamped(*value);
    }
  }
  if (xftDpi.has_value() && std::isfinite(*xftDpi) && *xftDpi > 0) {
    return clamped(*xftDpi / kBaseDpi);
  }
  return 1.0;
}

double DesktopScale::fromEnvironment(std::optional<double> xftDpi) {
  return choose(xftDpi, std::getenv("GDK_SCALE"), std::getenv("QT_SCALE_FACTOR"));
}

double DesktopScale::factor() {
  return current().load();
}

void DesktopScale::setFactor(double factor) {
  current() = std::isfinite(factor) ? clamped(factor) : 1.0;
}

std::int32_t DesktopScale::px(std::int32_t length) {
  if (length < 0) {
    return length;
  }
  return static_cast<std::int32_t>(std::lround(length * factor()));
}

std::int32_t DesktopScale::line() {
  return std::max(1, static_cast<std::int32_t>(std::floor(factor())));
}

}  // namespace s::platform::ui
