#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/linux/capture/Rtnetlink.h"

namespace s::platform {

// Bytes per second of one interface between its two latest counter samples.
struct InterfaceRate {
  std::string name;
  int64_t received = 0;
  int64_t sent = 0;
  bool valid = false;  // false until two samples exist, and after a counter went backwards
};

// Turns successive octet-counter samples into rates: delta bytes / elapsed seconds, each
// direction from its own counter.
class RateMeter {
 public:
  // Takes one sample of every interface, made at `when`.
  void addSample(const std::vector<LinkInfo>& links, std::chrono::steady_clock::time_point when);
  const std::vector<InterfaceRate>& rates() const { return rates_; }

 private:
  struct Last {
    int index = 0;
    uint64_t rxBytes = 0;
    uint64_t txBytes = 0;
  };
  std::vector<Last> last_;
  std::vector<InterfaceRate> rates_;
  std::chrono::steady_clock::time_point lastWhen_{};
  bool hasLast_ = false;
};

// Samples the octet counters of every interface of the starting thread's network namespace on a
// thread of its own, every `period`, and keeps the latest rates.
class InterfaceRateSampler {
 public:
  explicit InterfaceRateSampler(std::chrono::milliseconds period = std::chrono::milliseconds(900))
      : period_(period) {}
  ~InterfaceRateSampler() { stop(); }
  InterfaceRateSampler(const InterfaceRateSampler&) = delete;
  InterfaceRateSampler& operator=(const InterfaceRateSampler&) = delete;

  void start();
  // Ends the sampling thread at once and waits for it.
  void stop();

  // The latest rates of `name`; false (both 0) when it has no valid sample.
  bool rate(std::string_view name, int64_t& received, int64_t& sent) const;

 private:
  void run();

  std::chrono::milliseconds period_;
  mutable std::mutex lock_;
  std::condition_variable wake_;
  bool stopRequested_ = false;
  std::thread thread_;
  RateMeter meter_;
};

}  // namespace s::platform
