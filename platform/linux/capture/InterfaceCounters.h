#pragma once

#include <chrono>
#include <cstdint>
#include <string>
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

}  // namespace s::platform
