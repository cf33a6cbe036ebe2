#pragma once

#include <cstdint>

#include "framework/time/TimeMs.h"
#include "network/ConnectionTables.h"
#include "network/capture/IPacketLogger.h"

namespace s::app {

// Where the refresh cycle takes its readings from, and its clock: the system's tables, the
// packet capture and the interface counters in the program, scripted snapshots in tests.
class IMonitorSources {
 public:
  virtual ~IMonitorSources() = default;

  // Fresh sets, never null (a failed read gives an empty set).
  virtual PoolPtr<system::network::win::TcpConnectionSet> readTcpConnections() = 0;
  virtual PoolPtr<system::network::win::UdpConnectionSet> readUdpConnections() = 0;
  // A logger for one run of the cycle, which the cycle starts and lets go at its end; none
  // for a run without capture.
  virtual PoolPtr<system::network::IPacketLogger> takePacketLogger() = 0;

  virtual uint32_t interfaceCount() = 0;
  // The latest per-second byte figures of interface i; 0 when it has none.
  virtual int64_t interfaceReceivedRate(uint32_t i) = 0;
  virtual int64_t interfaceSentRate(uint32_t i) = 0;

  // Milliseconds since 1970, and a sleep of the refresh thread.
  virtual time::TimeMs now() = 0;
  virtual void sleep(uint32_t ms) = 0;
};

}  // namespace s::app
