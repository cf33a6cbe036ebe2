#include "platform/linux/TcpCloser.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/SockDiagSource.h"
#include "platform/linux/rights/RightsClient.h"

namespace s::platform {

namespace {

// After a refusal of this process's own request: hands the connection to the rights helper.
bool destroyThroughHelper(uint16_t family, const void* localAddress, const void* remoteAddress,
                          size_t addressSize, uint16_t localPort, uint16_t remotePort) {
  RightsClient* rights = RightsClient::current();
  if ((errno != EPERM && errno != EACCES) || rights == nullptr) {
    return false;
  }
  rights::DestroyTcpRequest connection;
  connection.family = family;
  connection.localPort = localPort;
  connection.remotePort = remotePort;
  std::memcpy(connection.local, localAddress, addressSize);
  std::memcpy(connection.remote, remoteAddress, addressSize);
  return rights->destroyTcp(connection);
}

}  // namespace

bool closeTcpConnection(uint32_t localAddress, uint16_t localPort, uint32_t remoteAddress,
                        uint16_t remotePort) {
  return SockDiagSource::destroyTcp(localAddress, localPort, remoteAddress, remotePort) ||
         destroyThroughHelper(AF_INET, &localAddress, &remoteAddress, sizeof localAddress,
                              localPort, remotePort);
}

bool closeTcpConnection6(const Ipv6Bytes& localAddress, uint16_t localPort,
                         const Ipv6Bytes& remoteAddress, uint16_t remotePort) {
  return SockDiagSource::destroyTcp6(localAddress, localPort, remoteAddress, remotePort) ||
         destroyThroughHelper(AF_INET6, localAddress.data(), remoteAddress.data(),
                              localAddress.size(), localPort, remotePort);
}

}  // namespace s::platform
