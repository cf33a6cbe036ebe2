#include "platform/linux/TcpCloser.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/SockDiagSource.h"
#include "platform/linux/rights/RightsClient.h"

namespace s::platform {

bool closeTcpConnection(uint32_t localAddress, uint16_t localPort, uint32_t remoteAddress,
                        uint16_t remotePort) {
  if (SockDiagSource::destroyTcp(localAddress, localPort, remoteAddress, remotePort)) {
    return true;
  }
  RightsClient* rights = RightsClient::current();
  if ((errno != EPERM && errno != EACCES) || rights == nullptr) {
    return false;
  }
  rights::DestroyTcpRequest connection;
  connection.family = AF_INET;
  connection.localPort = localPort;
  connection.remotePort = remotePort;
  std::memcpy(connection.local, &localAddress, sizeof localAddress);
  std::memcpy(connection.remote, &remoteAddress, sizeof remoteAddress);
  return rights->destroyTcp(connection);
}

}  // namespace s::platform
