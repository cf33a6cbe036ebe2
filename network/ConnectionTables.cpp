#include "network/ConnectionTables.h"

#include <mutex>
#include <utility>
#include <vector>

#include "framework/time/TimeMs.h"
#include "platform/linux/SocketTable.h"
#include "platform/linux/TcpCloser.h"

namespace s::system::network::win {

namespace {

// One reader for the process: its owner map is what makes later readings cheap.
struct TableReader {
  std::mutex mutex;
  platform::SocketTable table;
  std::vector<platform::SocketRow> rows;
};

TableReader& reader() {
  static TableReader tableReader;
  return tableReader;
}

// Fills a fresh set from one reading; the first row of a key wins.
template <class Record>
PoolPtr<col::Map<Record>> readConnections(platform::Protocol protocol, Counting counting) {
  PoolPtr<col::Map<Record>> set = col::Map<Record>::make(false, &Record::pool(), &Record::pool());
  TableReader& tables = reader();
  std::lock_guard lock(tables.mutex);
  platform::ByteCounts counts =
      counting == Counting::KernelTotals && protocol == platform::Protocol::Tcp
          ? platform::ByteCounts::FromTcpInfo
          : platform::ByteCounts::Without;
  if (!tables.table.read(protocol, tables.rows, counts)) {
    return set;
  }
  int64_t now = time::nowMs();
  for (const platform::SocketRow& row : tables.rows) {
    if (row.pid == 0) {
      continue;
    }
    PoolPtr<Record> record = Record::make();
    if (protocol == platform::Protocol::Tcp) {
      record->setState(row.state);
    }
    if (row.family == platform::SocketFamily::Ipv4) {
      record->setLocalAddress(row.localAddress);
      record->setLocalPort(row.localPort);
      record->setRemoteAddress(row.remoteAddress);
    } else {
      record->setLocalAddress6(row.family, row.localAddress6);
      record->setLocalPort(row.localPort);
      record->setRemoteAddress6(row.remoteAddress6);
    }
    record->setRemotePort(row.remotePort);
    record->setPid(row.pid);
    record->setStartTime(now);
    if (counting == Counting::KernelTotals) {
      record->useKernelTotals(row.hasByteCounts, row.bytesReceived, row.bytesSent);
    }
    set->add(std::move(record));
  }
  return set;
}

}  // namespace

PoolPtr<TcpConnectionSet> readTcpConnections(Counting counting) {
  return readConnections<TcpConnection>(platform::Protocol::Tcp, counting);
}

PoolPtr<UdpConnectionSet> readUdpConnections(Counting counting) {
  return readConnections<UdpConnection>(platform::Protocol::Udp, counting);
}

void disconnectTcp(uint32_t localAddress, int32_t localPort, uint32_t remoteAddress,
                   int32_t remotePort) {
  platform::closeTcpConnection(localAddress, static_cast<uint16_t>(localPort), remoteAddress,
                               static_cast<uint16_t>(remotePort));
}

void disconnectTcp6(const platform::Ipv6Bytes& localAddress, int32_t localPort,
                    const platform::Ipv6Bytes& remoteAddress, int32_t remotePort) {
  platform::closeTcpConnection6(localAddress, static_cast<uint16_t>(localPort), remoteAddress,
                                static_cast<uint16_t>(remotePort));
}

}  // namespace s::system::network::win
