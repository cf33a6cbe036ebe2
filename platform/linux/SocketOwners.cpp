#include "platform/linux/SocketOwners.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "framework/base/Growth.h"

namespace s::platform {

namespace {

// The owner of a slot that is still to be looked for, and of one the fallback is asked about.
constexpr int32_t kPending = INT32_MIN;
constexpr int32_t kAsked = INT32_MIN + 1;
constexpr size_t kEntriesBufferSize = 32 * 1024;
// Stale slots are dropped once they are this many and more than the live ones.
constexpr uint32_t kPruneFloor = 1024;

uint32_t slotIndex(uint64_t inode, size_t slotCount) {
  auto hash = static_cast<uint32_t>((inode * 0x9E3779B97F4A7C15ULL) >> 32);
  return static_cast<uint32_t>((static_cast<uint64_t>(hash) * slotCount) >> 32);
}

int index(Protocol protocol) {
  return protocol == Protocol::Tcp ? 0 : 1;
}

// The number a /proc entry name stands for, or -1 for names that are not all digits.
int64_t numberOf(const char* name) {
  if (*name == '\0') {
    return -1;
  }
  int64_t value = 0;
  for (; *name != '\0'; ++name) {
    if (*name < '0' || *name > '9' || value > INT32_MAX) {
      return -1;
    }
    value = value * 10 + (*name - '0');
  }
  return value;
}

// The inode of a "socket:[12345]" link, 0 for other links.
uint64_t socketInode(const char* link, ssize_t length) {
  static constexpr char kPrefix[] = "socket:[";
  constexpr ssize_t kPrefixLength = sizeof(kPrefix) - 1;
  if (length <= kPrefixLength + 1 || std::memcmp(link, kPrefix, kPrefixLength) != 0 ||
      link[length - 1] != ']') {
    return 0;
  }
  uint64_t inode = 0;
  for (ssize_t i = kPrefixLength; i < length - 1; ++i) {
    if (link[i] < '0' || link[i] > '9') {
      return 0;
    }
    inode = inode * 10 + static_cast<uint64_t>(link[i] - '0');
  }
  return inode;
}

}  // namespace

SocketOwners::SocketOwners() : entries_(kEntriesBufferSize) {}

SocketOwners::~SocketOwners() {
  if (procFd_ >= 0) {
    close(procFd_);
  }
}

SocketOwners::Slot* SocketOwners::find(uint64_t inode) {
  if (slots_.empty()) {
    return nullptr;
  }
  for (uint32_t i = slotIndex(inode, slots_.size());; i = i + 1 == slots_.size() ? 0 : i + 1) {
    Slot& slot = slots_[i];
    if (slot.inode == inode) {
      return &slot;
    }
    if (slot.inode == 0) {
      return nullptr;
    }
  }
}

SocketOwners::Slot& SocketOwners::findOrInsert(uint64_t inode, bool& inserted) {
  for (uint32_t i = slotIndex(inode, slots_.size());; i = i + 1 == slots_.size() ? 0 : i + 1) {
    Slot& slot = slots_[i];
    if (slot.inode == inode) {
      inserted = false;
      return slot;
    }
    if (slot.inode == 0) {
      slot = Slot{};
      slot.inode = inode;
      ++size_;
      inserted = true;
      return slot;
    }
  }
}

void SocketOwners::rehash(uint32_t slotCount, bool keepStale) {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(slotCount, Slot{});
  size_ = 0;
  for (const Slot& slot : old) {
    if (slot.inode == 0 || (!keepStale && slot.generation != generation_[index(slot.protocol)])) {
      continue;
    }
    bool inserted = false;
    findOrInsert(slot.inode, inserted) = slot;
  }
}

void SocketOwners::assign(Protocol protocol, std::vector<SocketRow>& rows) {
  int p = index(protocol);
  uint32_t generation = ++generation_[p];
  dropDeadOwners();
  // At most half the slots in use keeps the probes short.
  uint64_t needed = 2 * (static_cast<uint64_t>(size_) + rows.size());
  if (slots_.size() < needed) {
    rehash(capacityFor(static_cast<uint32_t>(slots_.size()), static_cast<uint32_t>(needed)), true);
  }
  pending_ = 0;
  uint32_t live = 0;
  for (SocketRow& row : rows) {
    if (row.inode == 0) {
      row.pid = 0;
      continue;
    }
    bool inserted = false;
    Slot& slot = findOrInsert(row.inode, inserted);
    if (inserted) {
      slot.pid = kPending;
      slot.protocol = protocol;
    }
    // A dump may report a socket twice when it moves during the dump.
    if (slot.generation != generation) {
      slot.generation = generation;
      ++live;
      if (slot.pid == kPending) {
        ++pending_;
      }
    }
    row.pid = slot.pid;
  }
  live_[p] = live;
  bool changed = pending_ > 0;
  if (changed) {
    scan(protocol);
    if (pending_ > 0 && fallback_ != nullptr) {
      askFallback(protocol, rows);
    }
    for (SocketRow& row : rows) {
      if (row.pid != kPending) {
        continue;
      }
      Slot* slot = find(row.inode);
      if (slot->pid == kPending) {
        slot->pid = unseenOwner(row);
      }
      row.pid = slot->pid;
    }
  }
  uint32_t stale = size_ - std::min(size_, live_[0] + live_[1]);
  if (stale > kPruneFloor && stale > size_ / 2) {
    rehash(static_cast<uint32_t>(slots_.size()), false);
    changed = true;
  }
  if (changed) {
    collectOwnerPids();
  }
}

void SocketOwners::askFallback(Protocol protocol, const std::vector<SocketRow>& rows) {
  unseenInodes_.clear();
  for (const SocketRow& row : rows) {
    Slot* slot = row.pid == kPending ? find(row.inode) : nullptr;
    if (slot != nullptr && slot->pid == kPending) {
      slot->pid = kAsked;  // once, though a dump may list it twice
      unseenInodes_.push_back(row.inode);
    }
  }
  unseenOwners_.assign(unseenInodes_.size(), 0);
  fallbackAnswered_ = fallback_->findOwners(protocol, unseenInodes_, unseenOwners_);
  for (size_t i = 0; i < unseenInodes_.size(); ++i) {
    find(unseenInodes_[i])->pid = unseenOwners_[i] > 0 ? unseenOwners_[i] : kPending;
  }
}

void SocketOwners::dropDeadOwners() {
  deadPids_.clear();
  for (int32_t pid : ownerPids_) {
    if (kill(pid, 0) != 0 && errno == ESRCH) {
      deadPids_.push_back(pid);
    }
  }
  if (deadPids_.empty()) {
    return;
  }
  for (int32_t pid : deadPids_) {
    fdSockets_.erase(pid);
  }
  // Sockets of a process that has gone live on in processes that inherited them.
  for (Slot& slot : slots_) {
    if (slot.inode != 0 && std::binary_search(deadPids_.begin(), deadPids_.end(), slot.pid)) {
      slot.pid = kPending;
    }
  }
}

void SocketOwners::collectOwnerPids() {
  // A bit per pid keeps this linear in the slots.
  std::fill(pidBits_.begin(), pidBits_.end(), 0);
  for (const Slot& slot : slots_) {
    if (slot.inode == 0 || slot.pid <= 0) {
      continue;
    }
    auto word = static_cast<size_t>(slot.pid) / 64;
    if (word >= pidBits_.size()) {
      pidBits_.resize(word + 1, 0);
    }
    pidBits_[word] |= 1ULL << (slot.pid % 64);
  }
  ownerPids_.clear();
  for (size_t word = 0; word < pidBits_.size(); ++word) {
    for (uint64_t bits = pidBits_[word]; bits != 0; bits &= bits - 1) {
      ownerPids_.push_back(static_cast<int32_t>(word * 64 + __builtin_ctzll(bits)));
    }
  }
  for (auto it = fdSockets_.begin(); it != fdSockets_.end();) {
    if (std::binary_search(ownerPids_.begin(), ownerPids_.end(), it->first)) {
      ++it;
    } else {
      it = fdSockets_.erase(it);
    }
  }
}

bool SocketOwners::listProcesses() {
  processes_.clear();
  if (procFd_ < 0) {
    procFd_ = open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd_ < 0) {
      return false;
    }
  }
  if (lseek(procFd_, 0, SEEK_SET) < 0) {
    return false;
  }
  for (;;) {
    ssize_t got = getdents64(procFd_, entries_.data(), entries_.size());
    if (got <= 0) {
      return got == 0;
    }
    for (ssize_t at = 0; at < got;) {
      const auto* entry = reinterpret_cast<const dirent64*>(entries_.data() + at);
      at += entry->d_reclen;
      int64_t pid = numberOf(entry->d_name);
      if (pid > 0) {
        processes_.push_back(static_cast<int32_t>(pid));
      }
    }
  }
}

int32_t SocketOwners::unseenOwner(const SocketRow& row) const {
  // Every process of this user could be read, so an owner of this user's that was not found
  // is not in this pid namespace; nor is anyone's when no folder was refused.
  // And one the fallback, which may read every folder, has not found is not in it either.
  return deniedFolder_ && !fallbackAnswered_ && row.uid != geteuid() ? kOwnerUnseen : kOwnerOutside;
}

void SocketOwners::scan(Protocol protocol) {
  deniedFolder_ = false;
  fallbackAnswered_ = false;
  if (!listProcesses()) {
    return;
  }
  // New sockets mostly belong to processes that hold sockets already.
  for (int32_t pid : ownerPids_) {
    scanProcess(pid, protocol);
    if (pending_ == 0) {
      return;
    }
  }
  for (int32_t pid : processes_) {
    if (std::binary_search(ownerPids_.begin(), ownerPids_.end(), pid)) {
      continue;
    }
    scanProcess(pid, protocol);
    if (pending_ == 0) {
      return;
    }
  }
  // A descriptor remembered for a socket of the other protocol may have been closed and
  // reused since that protocol's last reading: look at those again before giving up.
  for (int32_t pid : ownerPids_) {
    scanProcess(pid, protocol, false);
    if (pending_ == 0) {
      return;
    }
  }
}

bool SocketOwners::isLive(const Slot& slot) const {
  return slot.generation == generation_[index(slot.protocol)];
}

void SocketOwners::scanProcess(int32_t pid, Protocol protocol, bool trustOtherProtocol) {
  char path[24];
  std::snprintf(path, sizeof(path), "%d/fd", static_cast<int>(pid));
  int dir = openat(procFd_, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) {
    deniedFolder_ = deniedFolder_ || errno == EACCES || errno == EPERM;
    fdSockets_.erase(pid);
    return;
  }
  ++scannedProcesses_;
  uint32_t generation = generation_[index(protocol)];
  // The descriptors come in ascending order, as the previous scan stored them.
  static const std::vector<FdSocket> kNone;
  auto known = fdSockets_.find(pid);
  const std::vector<FdSocket>& before = known == fdSockets_.end() ? kNone : known->second;
  size_t next = 0;
  freshFdSockets_.clear();
  for (;;) {
    ssize_t got = getdents64(dir, entries_.data(), entries_.size());
    if (got <= 0) {
      break;
    }
    for (ssize_t at = 0; at < got;) {
      const auto* entry = reinterpret_cast<const dirent64*>(entries_.data() + at);
      at += entry->d_reclen;
      int64_t fd = numberOf(entry->d_name);
      if (fd < 0) {
        continue;
      }
      while (next < before.size() && before[next].fd < fd) {
        ++next;
      }
      uint64_t inode = 0;
      Slot* slot = nullptr;
      if (next < before.size() && before[next].fd == fd) {
        slot = find(before[next].inode);
        if (slot != nullptr && isLive(*slot) &&
            (trustOtherProtocol || slot->protocol == protocol)) {
          inode = before[next].inode;
        }
      }
      if (inode == 0) {
        char link[64];
        ssize_t length = readlinkat(dir, entry->d_name, link, sizeof(link));
        inode = socketInode(link, length);
        if (inode == 0) {
          continue;
        }
        slot = find(inode);
      }
      if (slot == nullptr) {
        continue;  // a socket of another kind
      }
      freshFdSockets_.push_back({static_cast<int32_t>(fd), inode});
      if (slot->pid != kPending) {
        continue;
      }
      slot->pid = pid;
      if (slot->protocol == protocol && slot->generation == generation) {
        --pending_;
      }
    }
  }
  close(dir);
  if (freshFdSockets_.empty()) {
    fdSockets_.erase(pid);
  } else {
    fdSockets_[pid].swap(freshFdSockets_);
  }
}

}  // namespace s::platform
