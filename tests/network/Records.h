#pragma once

#include <cstdint>

#include "network/TcpConnection.h"

namespace s::system::network::test {

// A TCP record with these endpoints (addresses in network order) and owner.
inline PoolPtr<TcpConnection> tcp(int32_t state, uint32_t local, int32_t localPort, uint32_t remote,
                                  int32_t remotePort, int32_t pid = 42) {
  PoolPtr<TcpConnection> record = TcpConnection::make();
  record->setState(state);
  record->setLocalAddress(local);
  record->setLocalPort(localPort);
  record->setRemoteAddress(remote);
  record->setRemotePort(remotePort);
  record->setPid(pid);
  return record;
}

}  // namespace s::system::network::test
