#include "platform/linux/capture/InterfaceCounters.h"

#include <cmath>

namespace s::platform {

void RateMeter::addSample(const std::vector<LinkInfo>& links,
                          std::chrono::steady_clock::time_point when) {
  const double seconds = std::chrono::duration<double>(when - lastWhen_).count();
  std::vector<Last> next;
  std::vector<InterfaceRate> rates;
  next.reserve(links.size());
  rates.reserve(links.size());
  for (const LinkInfo& link : links) {
    if (!link.hasStats) {
      continue;
    }
    InterfaceRate rate;
    rate.name = link.name;
    if (hasLast_ && seconds > 0) {
      for (const Last& before : last_) {
        if (before.index == link.index && link.rxBytes >= before.rxBytes &&
            link.txBytes >= before.txBytes) {
          rate.received =
              std::llround(static_cast<double>(link.rxBytes - before.rxBytes) / seconds);
          rate.sent = std::llround(static_cast<double>(link.txBytes - before.txBytes) / seconds);
          rate.valid = true;
          break;
        }
      }
    }
    rates.push_back(std::move(rate));
    next.push_back({link.index, link.rxBytes, link.txBytes});
  }
  last_ = std::move(next);
  rates_ = std::move(rates);
  lastWhen_ = when;
  hasLast_ = true;
}

}  // namespace s::platform
