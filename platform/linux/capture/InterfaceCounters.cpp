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

void InterfaceRateSampler::start() {
  std::scoped_lock guard(lock_);
  if (thread_.joinable()) {
    return;
  }
  stopRequested_ = false;
  thread_ = std::thread(&InterfaceRateSampler::run, this);
}

void InterfaceRateSampler::stop() {
  {
    std::scoped_lock guard(lock_);
    stopRequested_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

bool InterfaceRateSampler::rate(std::string_view name, int64_t& received, int64_t& sent) const {
  std::scoped_lock guard(lock_);
  for (const InterfaceRate& rate : meter_.rates()) {
    if (rate.name == name && rate.valid) {
      received = rate.received;
      sent = rate.sent;
      return true;
    }
  }
  received = 0;
  sent = 0;
  return false;
}

void InterfaceRateSampler::run() {
  RtnetlinkSocket netlink;
  std::vector<LinkInfo> links;
  std::unique_lock guard(lock_);
  while (!stopRequested_) {
    guard.unlock();
    bool read = netlink.dumpLinks(links);
    auto when = std::chrono::steady_clock::now();
    guard.lock();
    if (!read) {
      links.clear();  // every rate turns invalid until a dump succeeds again
    }
    meter_.addSample(links, when);
    wake_.wait_for(guard, period_, [this] { return stopRequested_; });
  }
}

}  // namespace s::platform
