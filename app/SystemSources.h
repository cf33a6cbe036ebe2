#pragma once

#include <cstdint>

#include "app/IMonitorSources.h"

namespace s::app {

// The cycle's readings from this computer: the kernel's connection tables, the packet capture
// and the interface counters, the system clock and a real sleep (which tests and benchmarks
// replace to watch the cycles go by). When this process may not capture, the TCP records carry
// the kernel's own byte counters instead, and the UDP ones are not measured.
class SystemSources : public IMonitorSources {
 public:
  // Without capture no logger is handed out and no connection gets traffic.
  explicit SystemSources(bool capture = true) : capture_(capture) {}

  PoolPtr<system::network::win::TcpConnectionSet> readTcpConnections() override;
  PoolPtr<system::network::win::UdpConnectionSet> readUdpConnections() override;
  PoolPtr<system::network::IPacketLogger> takePacketLogger() override;
  uint32_t interfaceCount() override;
  int64_t interfaceReceivedRate(uint32_t i) override;
  int64_t interfaceSentRate(uint32_t i) override;
  time::TimeMs now() override;
  void sleep(uint32_t ms) override;

 private:
  bool capture_;
  system::network::win::Counting counting_ = system::network::win::Counting::Capture;
};

}  // namespace s::app
