#include "app/SystemSources.h"

#include <chrono>
#include <thread>

#include "network/capture/CaptureLog.h"
#include "network/capture/PacketLogger.h"
#include "network/interfaces/InterfaceList.h"
#include "probes/Counter.h"

namespace s::app {

namespace net = system::network;

PoolPtr<net::win::TcpConnectionSet> SystemSources::readTcpConnections() {
  return net::win::readTcpConnections(counting_);
}

PoolPtr<net::win::UdpConnectionSet> SystemSources::readUdpConnections() {
  return net::win::readUdpConnections(counting_);
}

PoolPtr<net::IPacketLogger> SystemSources::takePacketLogger() {
  if (!capture_) {
    return nullptr;
  }
  if (!net::win::captureIsPermitted()) {
    counting_ = net::win::Counting::KernelTotals;
    return nullptr;
  }
  counting_ = net::win::Counting::Capture;
  return net::win::PacketLogger::make();
}

uint32_t SystemSources::interfaceCount() {
  return net::win::getInterfaceList().count();
}

// Whatever validity the counters report: an interface without a sample gives 0.
int64_t SystemSources::interfaceReceivedRate(uint32_t i) {
  int64_t value = 0;
  system::counter::win::counterService().interfaceReceivedRate(i, value);
  return value;
}

int64_t SystemSources::interfaceSentRate(uint32_t i) {
  int64_t value = 0;
  system::counter::win::counterService().interfaceSentRate(i, value);
  return value;
}

time::TimeMs SystemSources::now() {
  return time::nowMs();
}

void SystemSources::sleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace s::app
