#include "probes/Counter.h"

#include <net/if.h>

#include <chrono>
#include <thread>

#include "framework/str/StrBuffer.h"
#include "network/interfaces/InterfaceList.h"
#include "platform/linux/capture/Rtnetlink.h"

namespace s::system::counter::win {

namespace {

constexpr std::u16string_view kObject = u"\\Network Interface(";
constexpr std::u16string_view kReceived = u")\\Bytes Received/sec";
constexpr std::u16string_view kSent = u")\\Bytes Sent/sec";
constexpr auto kStopStep = std::chrono::milliseconds(50);

bool sameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return str::StrBuffer::compareIgnoreCase(a, b) == 0;
}

bool startsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && sameIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Splits "\Network Interface(<instance>)\Bytes ...": gives false for any other path.
bool parsePath(std::u16string_view path, std::u16string_view& instance, bool& sent) {
  if (!startsWithIgnoreCase(path, kObject)) {
    return false;
  }
  std::u16string_view rest = path.substr(kObject.size());
  for (bool isSent : {true, false}) {
    std::u16string_view tail = isSent ? kSent : kReceived;
    if (rest.size() > tail.size() &&
        sameIgnoringCase(rest.substr(rest.size() - tail.size()), tail)) {
      instance = rest.substr(0, rest.size() - tail.size());
      sent = isSent;
      return true;
    }
  }
  return false;
}

std::string ascii(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text) {
    out.push_back(static_cast<char>(unit & 0xff));
  }
  return out;
}

}  // namespace

Counter::Counter() : thread_(thread::win::Thread::make()) {
  thread_->setPriority(-1);
}

Counter::~Counter() {
  stopSampling();
}

int32_t Counter::addCounter(std::u16string_view path) {
  std::u16string_view instance;
  bool sent = false;
  if (!parsePath(path, instance, sent) || instance.empty()) {
    return -1;
  }
  std::scoped_lock guard(lock_);
  for (size_t i = 0; i < paths_.size(); ++i) {
    if (sameIgnoringCase(paths_[i], path)) {
      return static_cast<int32_t>(i);
    }
  }
  entries_.push_back({ascii(instance), sent, 0, false});
  paths_.emplace_back(path);
  startSampling();
  return static_cast<int32_t>(entries_.size() - 1);
}

// Under lock_.
void Counter::startSampling() {
  if (!started_) {
    started_ = true;
    stopRequested_.store(false);
    thread_->runOnce(this);
  }
}

bool Counter::readCounter(int32_t index, int64_t& value) const {
  std::scoped_lock guard(lock_);
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) {
    value = 0;
    return false;
  }
  const Entry& entry = entries_[static_cast<size_t>(index)];
  value = entry.valid ? entry.value : 0;
  return entry.valid;
}

void Counter::expandInstances(std::u16string_view path, str::StrArray& list) const {
  std::u16string_view instance;
  bool sent = false;
  if (!parsePath(path, instance, sent) || instance != u"*") {
    return;
  }
  platform::RtnetlinkSocket netlink;
  std::vector<platform::LinkInfo> links;
  if (!netlink.dumpLinks(links)) {
    return;
  }
  for (const platform::LinkInfo& link : links) {
    if (link.hasStats) {
      list.add(std::u16string(link.name.begin(), link.name.end()));
    }
  }
}

bool Counter::interfaceRate(uint32_t i, bool sent, int64_t& value) {
  value = 0;
  // The interface's name, copied while the list holds still; an interface that is not present
  // (its adapter was not found in the last refresh) gives nothing until it is.
  char name[IF_NAMESIZE] = {};
  bool present = false;
  network::win::getInterfaceList().withInterface(i, [&](network::win::NicConn& nic) {
    std::u16string_view id = nic.getAdapterId();
    present = nic.isPresent() && id.size() < sizeof name;
    for (size_t c = 0; present && c < id.size(); ++c) {
      name[c] = static_cast<char>(id[c] & 0xff);
    }
  });
  if (!present) {
    return false;
  }
  std::scoped_lock guard(lock_);
  startSampling();
  for (const platform::InterfaceRate& rate : meter_.rates()) {
    if (rate.valid && rate.name == name) {
      value = sent ? rate.sent : rate.received;
      return true;
    }
  }
  return false;
}

bool Counter::interfaceSentRate(uint32_t i, int64_t& value) {
  return interfaceRate(i, true, value);
}

bool Counter::interfaceReceivedRate(uint32_t i, int64_t& value) {
  return interfaceRate(i, false, value);
}

void Counter::run() {
  platform::RtnetlinkSocket netlink;
  std::vector<platform::LinkInfo> links;
  while (!stopRequested_.load()) {
    if (!netlink.dumpLinks(links)) {
      links.clear();  // every counter turns invalid until a reading succeeds
    }
    auto when = std::chrono::steady_clock::now();
    {
      std::scoped_lock guard(lock_);
      meter_.addSample(links, when);
      for (Entry& entry : entries_) {
        entry.valid = false;
        entry.value = 0;
        for (const platform::InterfaceRate& rate : meter_.rates()) {
          if (rate.name == entry.interfaceName && rate.valid) {
            entry.value = entry.sent ? rate.sent : rate.received;
            entry.valid = true;
            break;
          }
        }
      }
    }
    auto next = when + std::chrono::milliseconds(kSamplePeriodMs);
    while (!stopRequested_.load() && std::chrono::steady_clock::now() < next) {
      std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
          kStopStep, next - std::chrono::steady_clock::now()));
    }
  }
}

void Counter::stopSampling() {
  stopRequested_.store(true);
  thread_->waitIdle();
  std::scoped_lock guard(lock_);
  started_ = false;
}

void Counter::reset() {
  stopSampling();
  std::scoped_lock guard(lock_);
  entries_.clear();
  paths_.clear();
  meter_ = platform::RateMeter();
}

Counter& counterService() {
  static Counter service;
  return service;
}

}  // namespace s::system::counter::win
