#include "app/NetvigilEx.h"

#include <mutex>
#include <utility>

#include "app/ConnectionColumns.h"
#include "app/ConnectionLog.h"
#include "app/ConnectionRows.h"
#include "app/IMonitorSources.h"
#include "app/IMonitorView.h"
#include "app/StatusTexts.h"
#include "app/SystemSources.h"
#include "framework/col/ArrayP.h"
#include "framework/lang/TextIds.h"
#include "network/ConnectionTables.h"

namespace s::app {

namespace {

namespace net = system::network;
using net::TcpConnection;
using net::UdpConnection;
using net::win::TcpConnectionSet;
using net::win::UdpConnectionSet;

constexpr int32_t kTrafficKeyLimit = 5000;
constexpr uint32_t kSliceMs = 200;
constexpr uint32_t kRealTimeMs = 100;
constexpr uint32_t kLongPeriodMs = 1000;
constexpr uint32_t kIconizedPeriodMs = 3000;
constexpr uint32_t kQuietCycles = 3;

// A continuing connection's byte cells, when its counts grew: by the interval's captured
// traffic, or to the kernel's totals of the later reading `seen`. Counts alone change no order.
void updateCounts(gui::IListBox2& list, net::ConnectionRecord& record,
                  const net::ConnectionRecord& seen, const net::TrafficTable& traffic) {
  net::ConnectionRecord::TotalsChange kernel = record.takeKernelTotals(seen);
  bool received = record.addReceived(traffic);
  if (received || kernel.received) {
    setInt64Cell(list, record, current::kReceived, record.getReceivedBytes());
  }
  bool sent = record.addSent(traffic);
  if (sent || kernel.sent) {
    setInt64Cell(list, record, current::kSent, record.getSentBytes());
  }
}

// What one run of the cycle holds, on the refresh thread.
class Cycle {
 public:
  Cycle(NetvigilEx& controller, IMonitorView& view, IMonitorSources& sources,
        std::u16string_view word)
      : controller_(controller),
        view_(view),
        sources_(sources),
        word_(str::StrBuffer::of(word)),
        currentTcp_(TcpConnectionSet::make(false, &TcpConnection::pool(), &TcpConnection::pool())),
        currentUdp_(UdpConnectionSet::make(false, &UdpConnection::pool(), &UdpConnection::pool())),
        logger_(sources.takePacketLogger()),
        rowsShowHostNames_(controller.showHostNames) {
    if (logger_ != nullptr) {
      logger_->setKeyLimit(kTrafficKeyLimit);
      logger_->start();
    } else {
      noTraffic_ = net::takeEmptyTrafficTable();
    }
  }

  // The rows leave the lists before the records that own them go with the members.
  ~Cycle() {
    // Emptied from its end first, so that each record's row leaves in constant time.
    view_.currentList().removeAll();
    // The log goes on the view's thread, where every log-list change is made.
    view_.runSync(&Cycle::clearLog, this);
  }

  Cycle(const Cycle&) = delete;
  Cycle& operator=(const Cycle&) = delete;

  void runOnce();
  void wait();

 private:
  void showHostNames();
  template <class Record>
  void addRows(col::ArrayP<Record>& added, col::Map<Record>& current, bool remoteNames);
  template <class Record>
  void prepareEnded(col::ArrayP<Record>& ended);
  // Clear, trim and the ended TCP connections; then the ended UDP ones.
  void logFirstHalf();
  void logSecondHalf();
  void updateLocalName(net::IConnection& record);
  void updateContinuingTcp(const TcpConnectionSet& snapshot);
  void updateContinuingUdp(const UdpConnectionSet& snapshot);
  void publishCounts(uint32_t prevTcp, uint32_t prevUdp);
  void publishRates();
  void openUpdate();

  static void logOperation(void* block);
  static void sortLog(void* block);
  static void clearLog(void* block);

  NetvigilEx& controller_;
  IMonitorView& view_;
  IMonitorSources& sources_;
  PoolPtr<str::StrBuffer> word_;
  PoolPtr<TcpConnectionSet> currentTcp_;
  PoolPtr<UdpConnectionSet> currentUdp_;
  ConnectionLog log_;
  PoolPtr<str::StrBuffer> connectionsText_ = str::StrBuffer::make();
  PoolPtr<str::StrBuffer> receivedText_ = str::StrBuffer::make();
  PoolPtr<str::StrBuffer> sentText_ = str::StrBuffer::make();
  PoolPtr<net::IPacketLogger> logger_;
  // The table of a run without capture: always empty.
  PoolPtr<net::TrafficTable> noTraffic_;
  bool rowsShowHostNames_;
  uint32_t cycleCount_ = 0;

  // Kept for the run, so a steady cycle allocates nothing for them.
  col::ArrayP<TcpConnection> endedTcp_;
  col::ArrayP<TcpConnection> addedTcp_;
  col::ArrayP<TcpConnection> tcpRecords_;
  col::ArrayP<UdpConnection> endedUdp_;
  col::ArrayP<UdpConnection> addedUdp_;
  col::ArrayP<UdpConnection> udpRecords_;

  // Per cycle: the interval's table, or noTraffic_.
  PoolPtr<net::TrafficTable> interval_;
  net::TrafficTable* traffic_ = nullptr;
  bool updateOpen_ = false;
  bool currentChanged_ = false;
  bool logChanged_ = false;
  // What the next log operation does.
  bool clearing_ = false;
  bool trimming_ = false;
  bool secondHalf_ = false;
};

void Cycle::openUpdate() {
  if (!updateOpen_) {
    view_.currentList().beginUpdate();
    updateOpen_ = true;
  }
}

void Cycle::showHostNames() {
  bool shown = controller_.showHostNames;
  if (shown == rowsShowHostNames_) {
    return;
  }
  openUpdate();
  gui::IListBox2& list = view_.currentList();
  tcpRecords_.clear();
  currentTcp_->elements(tcpRecords_);
  for (TcpConnection* record : tcpRecords_) {
    setTextCell(list, *record, current::kRemote,
                shown ? record->getRemoteHostText() : record->getRemoteAddressText());
    setTextCell(list, *record, current::kLocal,
                shown ? record->getLocalHostText() : record->getLocalAddressText());
  }
  udpRecords_.clear();
  currentUdp_->elements(udpRecords_);
  for (UdpConnection* record : udpRecords_) {
    setTextCell(list, *record, current::kLocal,
                shown ? record->getLocalHostText() : record->getLocalAddressText());
  }
  if (tcpRecords_.count() + udpRecords_.count() > 0) {
    currentChanged_ = true;
  }
  rowsShowHostNames_ = shown;
}

template <class Record>
void Cycle::addRows(col::ArrayP<Record>& added, col::Map<Record>& current, bool remoteNames) {
  gui::IListBox2& list = view_.currentList();
  for (Record* record : added) {
    record->resolveLocalHostName();
    if (remoteNames) {
      record->resolveRemoteHostName();
    }
    record->buildTrafficKey();
    record->addReceived(*traffic_);
    record->addSent(*traffic_);
    record->setHostNameShown(rowsShowHostNames_);
    PoolPtr<gui::listbox2::Record> row = makeCurrentRow(*record);
    list.appendRecord(row.get());
    record->setViewRecord(std::move(row));
    current.add(record);
  }
  added.clear();
}

// The last traffic, the end time and the host-name form; the current row leaves. When logging
// is suspended the records go back to their pool instead.
template <class Record>
void Cycle::prepareEnded(col::ArrayP<Record>& ended) {
  if (controller_.loggingSuspended) {
    for (Record*& record : ended) {
      Record::pool().destroy(record);
    }
    ended.clear();
    return;
  }
  for (Record* record : ended) {
    record->addReceived(*traffic_);
    record->addSent(*traffic_);
    record->releaseTrafficKey();
    record->releaseViewRecord();
    record->setEndTime(sources_.now());
    record->setHostNameShown(rowsShowHostNames_);
  }
}

void Cycle::logFirstHalf() {
  clearing_ = controller_.clearLogRequested.exchange(false);
  prepareEnded(endedTcp_);
  uint32_t left = clearing_ ? 0 : log_.count();
  trimming_ = left > 0 && static_cast<int64_t>(left) >= controller_.logLimit;
  secondHalf_ = false;
  if (clearing_ || trimming_ || !endedTcp_.empty()) {
    view_.runSync(&Cycle::logOperation, this);
  }
}

void Cycle::logSecondHalf() {
  prepareEnded(endedUdp_);
  clearing_ = false;
  trimming_ = false;
  secondHalf_ = true;
  if (!endedUdp_.empty()) {
    view_.runSync(&Cycle::logOperation, this);
  }
}

// On the view's thread, under the list lock, so that an export never sees the log change.
void Cycle::logOperation(void* block) {
  auto& cycle = *static_cast<Cycle*>(block);
  std::scoped_lock guard(cycle.controller_.listLock);
  if (cycle.clearing_) {
    cycle.view_.logList().removeAll();
    cycle.log_.clear();
  }
  if (cycle.trimming_) {
    cycle.log_.trim(cycle.controller_.logLimit);
  }
  gui::IListBox2& list = cycle.view_.logList();
  auto append = [&](auto& ended) {
    for (auto* record : ended) {
      PoolPtr<gui::listbox2::Record> row = makeLogRow(*record);
      list.appendRecord(row.get());
      record->setViewRecord(std::move(row));
      cycle.log_.append(record);
    }
    if (!ended.empty()) {
      cycle.logChanged_ = true;
    }
    ended.clear();
  };
  if (cycle.secondHalf_) {
    append(cycle.endedUdp_);
  } else {
    append(cycle.endedTcp_);
  }
}

void Cycle::sortLog(void* block) {
  auto& cycle = *static_cast<Cycle*>(block);
  std::scoped_lock guard(cycle.controller_.listLock);
  cycle.view_.logList().sort();
}

void Cycle::clearLog(void* block) {
  auto& cycle = *static_cast<Cycle*>(block);
  std::scoped_lock guard(cycle.controller_.listLock);
  cycle.view_.logList().removeAll();
  cycle.log_.clear();
}

// A local name arrives from the background resolver, like a remote one.
void Cycle::updateLocalName(net::IConnection& record) {
  if (record.resolveLocalHostName() && rowsShowHostNames_) {
    setTextCell(view_.currentList(), record, current::kLocal, record.getLocalHostText());
    currentChanged_ = true;
  }
}

void Cycle::updateContinuingTcp(const TcpConnectionSet& snapshot) {
  gui::IListBox2& list = view_.currentList();
  tcpRecords_.clear();
  snapshot.elements(tcpRecords_);
  for (TcpConnection* seen : tcpRecords_) {
    TcpConnection* record = currentTcp_->findEqual(*seen);
    if (record == nullptr) {
      continue;
    }
    updateCounts(list, *record, *seen, *traffic_);
    updateLocalName(*record);
    // Asked every cycle: a name that arrives while addresses are shown is there when they are
    // switched off.
    if (record->resolveRemoteHostName() && rowsShowHostNames_) {
      setTextCell(list, *record, current::kRemote, record->getRemoteHostText());
      currentChanged_ = true;
    }
    if (record->setState(seen->getState())) {
      setTextCell(list, *record, current::kState, record->getStateText());
      currentChanged_ = true;
    }
  }
}

void Cycle::updateContinuingUdp(const UdpConnectionSet& snapshot) {
  gui::IListBox2& list = view_.currentList();
  udpRecords_.clear();
  snapshot.elements(udpRecords_);
  for (UdpConnection* seen : udpRecords_) {
    UdpConnection* record = currentUdp_->findEqual(*seen);
    if (record == nullptr) {
      continue;
    }
    updateCounts(list, *record, *seen, *traffic_);
    updateLocalName(*record);
  }
}

void Cycle::publishCounts(uint32_t prevTcp, uint32_t prevUdp) {
  uint32_t tcp = currentTcp_->count();
  uint32_t udp = currentUdp_->count();
  if (tcp == prevTcp && udp == prevUdp) {
    return;
  }
  composeConnectionsText(*connectionsText_, word_->view(), tcp, udp);
  view_.setConnectionsText(connectionsText_->view());
}

void Cycle::publishRates() {
  int64_t received = 0;
  int64_t sent = 0;
  uint32_t interfaces = sources_.interfaceCount();
  // The kernel counts the two directions apart: each figure is added as it is.
  for (uint32_t i = 0; i < interfaces; ++i) {
    received += sources_.interfaceReceivedRate(i);
    sent += sources_.interfaceSentRate(i);
  }
  if (cycleCount_ < kQuietCycles) {
    received = 0;
    sent = 0;
  }
  view_.addTrafficSample(received + sent, sent);
  composeRateText(*receivedText_, received);
  view_.setReceivedRateText(receivedText_->view());
  composeRateText(*sentText_, sent);
  view_.setSentRateText(sentText_->view());
}

void Cycle::runOnce() {
  updateOpen_ = false;
  currentChanged_ = false;
  logChanged_ = false;
  showHostNames();

  uint32_t prevTcp = currentTcp_->count();
  uint32_t prevUdp = currentUdp_->count();
  PoolPtr<TcpConnectionSet> tcpSnapshot = sources_.readTcpConnections();
  PoolPtr<UdpConnectionSet> udpSnapshot = sources_.readUdpConnections();
  if (logger_ != nullptr) {
    interval_ = logger_->takeTrafficTable();
    traffic_ = interval_.get();
  } else {
    traffic_ = noTraffic_.get();
  }

  currentTcp_->removeAbsent(*tcpSnapshot, endedTcp_);
  currentUdp_->removeAbsent(*udpSnapshot, endedUdp_);
  tcpSnapshot->removeAbsent(*currentTcp_, addedTcp_);
  udpSnapshot->removeAbsent(*currentUdp_, addedUdp_);

  if (!addedTcp_.empty() || !addedUdp_.empty()) {
    currentChanged_ = true;
  }
  // The row changes from here on reach the window's thread together, at endUpdate.
  openUpdate();
  addRows(addedTcp_, *currentTcp_, true);
  logFirstHalf();
  addRows(addedUdp_, *currentUdp_, false);
  logSecondHalf();
  updateContinuingTcp(*tcpSnapshot);
  updateContinuingUdp(*udpSnapshot);

  tcpSnapshot.reset();
  udpSnapshot.reset();
  interval_.reset();
  traffic_ = nullptr;

  gui::IListBox2& list = view_.currentList();
  setDurationClock(sources_.now());
  list.refreshColumn(current::kDuration);
  if (currentChanged_) {
    list.sort();
  }
  if (updateOpen_) {
    list.endUpdate();
  }
  if (logChanged_ && view_.isLogVisible()) {
    view_.runSync(&Cycle::sortLog, this);
  }
  publishCounts(prevTcp, prevUdp);
  publishRates();
  ++cycleCount_;
}

void Cycle::wait() {
  uint32_t period = controller_.refreshPeriodMs;
  controller_.wakeRequested = false;
  if (period < kLongPeriodMs) {
    sources_.sleep(period <= 1 ? kRealTimeMs : period);
    return;
  }
  int64_t left = period;
  if (period < kIconizedPeriodMs && view_.isIconized()) {
    left = kIconizedPeriodMs;
  }
  if (controller_.wakeRequested) {
    return;
  }
  while (left > 0) {
    sources_.sleep(kSliceMs);
    left -= kSliceMs;
    if (controller_.wakeRequested) {
      return;
    }
  }
}

}  // namespace

NetvigilEx::~NetvigilEx() = default;

void NetvigilEx::run() {
  std::scoped_lock running(running_);
  if (view_ == nullptr) {
    return;
  }
  SystemSources system;
  IMonitorSources& sources = sources_ != nullptr ? *sources_ : system;
  std::u16string_view word =
      localizer_ != nullptr ? localizer_->text(lang::text::kStatusConnections) : u"Connections";
  Cycle cycle(*this, *view_, sources, word);
  if (stopRequested) {
    return;
  }
  for (;;) {
    cycle.runOnce();
    cycle.wait();
    if (stopRequested) {
      return;
    }
  }
}

void NetvigilEx::reset() {
  requestStop();
  { std::scoped_lock running(running_); }
  view_ = nullptr;
  sources_ = nullptr;
  localizer_ = nullptr;
  refreshPeriodMs = 1000;
  wakeRequested = false;
  showHostNames = true;
  logLimit = 200;
  clearLogRequested = false;
  loggingSuspended = false;
  stopRequested = false;
}

}  // namespace s::app
