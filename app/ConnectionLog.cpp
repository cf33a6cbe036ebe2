#include "app/ConnectionLog.h"

namespace s::app {

using system::network::TcpConnection;
using system::network::UdpConnection;

ConnectionLog::ConnectionLog() : tcp_(&TcpConnection::pool()), udp_(&UdpConnection::pool()) {}

ConnectionLog::~ConnectionLog() {
  clear();
}

void ConnectionLog::clear() {
  tcp_.freeMemory();
  udp_.freeMemory();
}

void ConnectionLog::trim(int32_t limit) {
  // An empty log stops it too, whatever the limit.
  while (count() > 0 && static_cast<int64_t>(count()) >= limit) {
    bool tcpLeaves =
        udp_.empty() || (!tcp_.empty() && tcp_.first()->getEndTime() < udp_.first()->getEndTime());
    if (tcpLeaves) {
      tcp_.disposeAt(0);
    } else {
      udp_.disposeAt(0);
    }
  }
}

}  // namespace s::app
