#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/Pooled.h"
#include "framework/str/StrArray.h"
#include "framework/thread/ITask.h"
#include "framework/thread/Thread.h"
#include "platform/linux/capture/InterfaceCounters.h"

namespace s::system::counter::win {

namespace detail {
class CounterBases : public PoolableObject, public ITask {};
}  // namespace detail

// The counter service: the received and sent bytes per second of each network interface, from
// the kernel's interface byte counters sampled every 900 ms on a thread of its own (priority
// -1). A counter is named by a path such as "\Network Interface(eth0)\Bytes Received/sec";
// Linux counters are not localised, so there is no name set to choose.
class Counter final : public Pooled<Counter, detail::CounterBases> {
 public:
  static constexpr uint32_t kSamplePeriodMs = 900;

  Counter();
  ~Counter() override;
  Counter(const Counter&) = delete;
  Counter& operator=(const Counter&) = delete;

  // The index of the entry with this path (ignoring case), else of a new one; -1 for a path
  // that names no interface counter.
  int32_t addCounter(std::u16string_view path);
  // The entry's latest value and whether it is valid; 0 and false out of range.
  bool readCounter(int32_t index, int64_t& value) const;
  // The interface names a wildcard path "\Network Interface(*)\<counter>" stands for.
  void expandInstances(std::u16string_view path, str::StrArray& list) const;
  void prepareCounterNames() {}

  // The rates of interface i of the interface list as it is now; false (and 0) until the
  // interface has a valid sample, and for a position the list does not have. The received rate
  // is the received counter's own.
  bool interfaceSentRate(uint32_t i, int64_t& value);
  bool interfaceReceivedRate(uint32_t i, int64_t& value);

  // The sampling loop.
  void run() override;
  void reset() override;

  std::u16string_view className() const override { return u"s_system_counter_win_Counter"; }

 private:
  struct Entry {
    std::string interfaceName;
    bool sent = false;
    int64_t value = 0;
    bool valid = false;
  };
  bool interfaceRate(uint32_t i, bool sent, int64_t& value);
  void startSampling();
  void stopSampling();

  mutable std::mutex lock_;
  std::vector<Entry> entries_;
  std::vector<std::u16string> paths_;
  platform::RateMeter meter_;
  bool started_ = false;
  std::atomic<bool> stopRequested_{false};
  PoolPtr<thread::win::Thread> thread_;
};

// The process-wide counter set, made on first use.
Counter& counterService();

}  // namespace s::system::counter::win
