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
  // Every address queued or being resolved, once: the queue's texts and the resolver's.
  col::Map<StrBuffer>* pending = col::Map<StrBuffer>::take(false, nullptr, nullptr);
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

// An address text as a socket address of its family; false for anything else.
bool socketAddressOf(const StrBuffer& address, sockaddr_storage& out, socklen_t& length) {
  std::string text = address.toUtf8String();
  out = {};
  auto* ipv4 = reinterpret_cast<sockaddr_in*>(&out);
  auto* ipv6 = reinterpret_cast<sockaddr_in6*>(&out);
  if (text.size() < INET_ADDRSTRLEN && inet_pton(AF_INET, text.c_str(), &ipv4->sin_addr) == 1) {
    ipv4->sin_family = AF_INET;
    length = sizeof(sockaddr_in);
    return true;
  }
  if (text.size() < INET6_ADDRSTRLEN && inet_pton(AF_INET6, text.c_str(), &ipv6->sin6_addr) == 1) {
    ipv6->sin6_family = AF_INET6;
    length = sizeof(sockaddr_in6);
    return true;
  }
  return false;
}

// The system's answer, empty when it has none.
void systemLookup(const StrBuffer& address, StrBuffer& result) {
  sockaddr_storage socketAddress{};
  socklen_t length = 0;
  if (!socketAddressOf(address, socketAddress, length)) {
    return;
  }
  std::array<char, kHostBufferSize> host{};
  if (getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), length, host.data(),
                  host.size(), nullptr, 0, NI_NAMEREQD) == 0) {
    result.assignUtf8(std::string_view(host.data()));
  }
  if (!result.empty()) {
    return;
  }
  const bool ipv4 = socketAddress.ss_family == AF_INET;
  const void* bytes =
      ipv4 ? static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(&socketAddress)->sin_addr)
           : static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(&socketAddress)->sin6_addr);
  hostent entry{};
  hostent* found = nullptr;
  std::array<char, 8192> scratch{};
  int error = 0;
  if (gethostbyaddr_r(bytes, ipv4 ? sizeof(in_addr) : sizeof(in6_addr), socketAddress.ss_family,
                      &entry, scratch.data(), scratch.size(), &found, &error) == 0 &&
      found != nullptr && found->h_name != nullptr) {
    result.assignUtf8(std::string_view(found->h_name));
  }
}

// Queues an address unless it is queued or being resolved already.
void queueAddress(HostNames& names, const StrBuffer& address) {
  {
    std::lock_guard lock(names.queueLock);
    if (names.pending->contains(address)) {
      return;
    }
    PoolPtr<StrBuffer> queued = StrBuffer::of(address.view());
    names.pending->add(queued.get());
    names.queue.push(std::move(queued));
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
  // Only now, with the answer cached: a lookup in between queues it no second time.
  std::lock_guard lock(names.queueLock);
  names.pending->remove(*address);
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
  queueAddress(names, *text);
  text->clear();
  return text;
}

uint64_t hostLookupCount() {
  return hostNames().lookups.load();
}

uint32_t pendingHostCount() {
  HostNames& names = hostNames();
  std::lock_guard lock(names.queueLock);
  return names.pending->count();
}

}  // namespace s::system::network
