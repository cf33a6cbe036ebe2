#pragma once

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/linux/capture/AddressCapture.h"
#include "tests/platform/linux/capture/TestNet.h"

namespace s::platform::test {

// Counts what the capture reports per protocol and both endpoints, local first.
class FlowSink final : public IDatagramSink {
 public:
  struct Counts {
    uint64_t received = 0;
    uint64_t sent = 0;
    bool operator==(const Counts&) const = default;
  };

  void onDatagram(bool sent, const IpDatagram& d) override {
    std::string key = d.protocol == kProtocolTcp ? "TCP," : "UDP,";
    if (sent) {
      key += addressText(d.source) + ":" + std::to_string(d.sourcePort) + "-" +
             addressText(d.destination) + ":" + std::to_string(d.destinationPort);
    } else {
      key += addressText(d.destination) + ":" + std::to_string(d.destinationPort) + "-" +
             addressText(d.source) + ":" + std::to_string(d.sourcePort);
    }
    std::scoped_lock guard(lock_);
    Counts& counts = flows_[key];
    (sent ? counts.sent : counts.received) += d.length;
  }

  void onDrops(uint32_t dropped) override { drops_ += dropped; }
  uint64_t drops() const { return drops_; }

  std::map<std::string, Counts> flows() {
    std::scoped_lock guard(lock_);
    return flows_;
  }
  Counts total() {
    Counts sum;
    for (const auto& [key, counts] : flows()) {
      sum.received += counts.received;
      sum.sent += counts.sent;
    }
    return sum;
  }

 private:
  std::mutex lock_;
  std::map<std::string, Counts> flows_;
  std::atomic<uint64_t> drops_{0};
};

// A capture of one address of a namespace, running on its own thread.
class CaptureThread {
 public:
  CaptureThread(const std::string& ns, const char* address, IDatagramSink& sink) {
    std::future<int> opened = opened_.get_future();
    thread_ = std::thread([this, ns, address, &sink] {
      NetnsEntry entry(ns);
      int error = entry.entered() ? capture_.open(ipAddress(address)) : EINVAL;
      opened_.set_value(error);
      if (error == 0) {
        result_ = capture_.run(sink);
      }
    });
    openError_ = opened.get();
  }
  ~CaptureThread() { stop(); }
  CaptureThread(const CaptureThread&) = delete;
  CaptureThread& operator=(const CaptureThread&) = delete;

  int openError() const { return openError_; }
  // Stops the capture and gives what run() gave.
  int stop() {
    capture_.stop();
    if (thread_.joinable()) {
      thread_.join();
    }
    return result_;
  }
  // Waits (bounded) for run() to end by itself.
  bool ended() {
    for (int i = 0; i < 500 && !finished(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return finished();
  }
  const char* failedStep() const { return capture_.failedStep(); }

 private:
  bool finished() { return result_ != kRunning; }
  static constexpr int kRunning = -1;
  AddressCapture capture_;
  std::promise<int> opened_;
  std::thread thread_;
  int openError_ = 0;
  std::atomic<int> result_{kRunning};
};

// Polls `condition` for up to five seconds.
template <class Condition>
bool eventually(Condition condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

}  // namespace s::platform::test
