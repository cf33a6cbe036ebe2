#pragma once

#include <cstdint>

#include "framework/col/ListP.h"
#include "network/TcpConnection.h"
#include "network/UdpConnection.h"

namespace s::app {

// The ended connections, oldest first, one queue per protocol. Each queue owns its records
// through their pool: a record that leaves goes back to it, which removes its log row.
class ConnectionLog {
 public:
  ConnectionLog();
  ~ConnectionLog();
  ConnectionLog(const ConnectionLog&) = delete;
  ConnectionLog& operator=(const ConnectionLog&) = delete;

  uint32_t count() const { return tcp_.count() + udp_.count(); }
  const col::ListP<system::network::TcpConnection>& tcp() const { return tcp_; }
  const col::ListP<system::network::UdpConnection>& udp() const { return udp_; }

  void append(system::network::TcpConnection* record) { tcp_.push(record); }
  void append(system::network::UdpConnection* record) { udp_.push(record); }
  // Every entry leaves and both queues give their buffers back.
  void clear();
  // Removes the oldest entries until fewer than `limit` are left; on equal end times the UDP
  // entry leaves first.
  void trim(int32_t limit);

 private:
  col::ListP<system::network::TcpConnection> tcp_;
  col::ListP<system::network::UdpConnection> udp_;
};

}  // namespace s::app
