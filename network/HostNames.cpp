#include "network/HostNames.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "framework/base/ObjLocker.h"
#include "framework/base/Pooled.h"
#include "framework/col/ListP.h"
#include "framework/col/Map.h"
#include "framework/col/MapTable.h"
#include "framework/thread/ITask.h"
#include "framework/thread/Thread.h"

namespace s::system::network {

namespace {

using str::StrBuffer;

constexpr auto kIdlePause = std::chrono::milliseconds(20);
// The host buffer of the first lookup; longer names come from the second.
constexpr size_t kHostBufferSize = 32;

// The resolver's one step: the oldest queued address, or a short sleep.
class ResolverStep final : public ITask {
 public:
  void run() override;
};

// Process-wide, made on first use, never destroyed: the resolver thread may still run at exit.
struct HostNames {
  col::Map<StrBuffer>* noName = col::Map<StrBuffer>::take(false, nullptr, nullptr);
  col::MapTable<StrBuffer, StrBuffer>* names =
      col::MapTable<StrBuffer, StrBuffer>::take(false, nullptr, nullptr, nullptr, nullptr);
  thread::ObjLocker queueLock;
  col::ListP<StrBuffer> queue;
  thread::ObjLocker resolverLock;
  std::atomic<bool> resolverIdle{true};
  thread::win::Thread* resolver = nullptr;
  ResolverStep step;
  std::atomic<uint64_t> lookups{0};
};

HostNames& hostNames() {
  static HostNames* names = new HostNames();  // NOLINT: lives as long as the resolver thread
  return *names;
}

// The cached answer for `key` into `key`: true when cached.
bool fromCache(HostNames& names, StrBuffer& key) {
  {
    std::lock_guard lock(names.noName->lock());
    if (names.noName->contains(key)) {
      return true;
    }
  }
  std::lock_guard lock(names.names->lock());
  const StrBuffer* name = names.names->get(key);
  if (name == nullptr) {
    return false;
  }
  key.assign(name->view());
  return true;
}

// The system's answer, empty when it has none.
void systemLookup(const StrBuffer& address, StrBuffer& result) {
  std::string text = address.toUtf8String();
  in_addr ipv4{};
  if (text.size() > 15 || inet_pton(AF_INET, text.c_str(), &ipv4) != 1) {
    return;
  }
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  socketAddress.sin_addr = ipv4;
  std::array<char, kHostBufferSize> host{};
  if (getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof(socketAddress),
                  host.data(), host.size(), nullptr, 0, NI_NAMEREQD) == 0) {
    result.assignUtf8(std::string_view(host.data()));
  }
  if (!result.empty()) {
    return;
  }
  hostent entry{};
  hostent* found = nullptr;
  std::array<char, 8192> scratch{};
  int error = 0;
  if (gethostbyaddr_r(&ipv4, sizeof(ipv4), AF_INET, &entry, scratch.data(), scratch.size(), &found,
                      &error) == 0 &&
      found != nullptr && found->h_name != nullptr) {
    result.assignUtf8(std::string_view(found->h_name));
  }
}

void queueAddress(HostNames& names, std::u16string_view address) {
  {
    std::lock_guard lock(names.queueLock);
    names.queue.push(StrBuffer::of(address));
  }
  if (!names.resolverIdle.load()) {
    return;
  }
  std::lock_guard lock(names.resolverLock);
  if (names.resolverIdle.load()) {
    names.resolverIdle.store(false);
    names.resolver = thread::win::Thread::take();
    names.resolver->runForever(&names.step);
  }
}

void ResolverStep::run() {
  HostNames& names = hostNames();
  PoolPtr<StrBuffer> address;
  {
    std::lock_guard lock(names.queueLock);
    if (names.queue.count() > 0) {
      address.reset(names.queue.popFirst());
    }
  }
  if (address == nullptr) {
    std::this_thread::sleep_for(kIdlePause);
    return;
  }
  resolveHostNameNow(address->view());
}

}  // namespace

PoolPtr<StrBuffer> resolveHostNameNow(std::u16string_view address) {
  HostNames& names = hostNames();
  PoolPtr<StrBuffer> key = StrBuffer::of(address);
  if (fromCache(names, *key)) {
    return key;
  }
  PoolPtr<StrBuffer> result = StrBuffer::make();
  names.lookups.fetch_add(1);
  systemLookup(*key, *result);
  if (!result->empty()) {
    std::lock_guard lock(names.names->lock());
    names.names->put(std::move(key), StrBuffer::of(result->view()));
    return result;
  }
  std::lock_guard lock(names.noName->lock());
  names.noName->add(std::move(key));
  return result;
}

PoolPtr<StrBuffer> lookupHostName(std::u16string_view address) {
  HostNames& names = hostNames();
  PoolPtr<StrBuffer> text = StrBuffer::of(address);
  if (fromCache(names, *text)) {
    return text;
  }
  queueAddress(names, address);
  text->clear();
  return text;
}

uint64_t hostLookupCount() {
  return hostNames().lookups.load();
}

}  // namespace s::system::network
