#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/linux/IOwnerLookup.h"
#include "platform/linux/SocketRow.h"

namespace s::platform {

// Finds the process that owns each socket inode through /proc/<pid>/fd. What it finds is kept
// between readings, so only inodes it has not seen before cost a scan, and a scan stops as soon
// as every new inode has its owner: first the processes that already own sockets, then the rest.
// A scan reads again only the descriptors that are not known to hold a live socket: a process
// with thousands of connections costs one directory listing, not a readlink per descriptor, when
// it opens one more.
class SocketOwners {
 public:
  SocketOwners();
  ~SocketOwners();
  SocketOwners(const SocketOwners&) = delete;
  SocketOwners& operator=(const SocketOwners&) = delete;

  // Sets the pid of every row of one protocol's reading: 0 for inode 0, else the owner. When
  // no visible process holds the socket: kOwnerUnseen for another user's socket while some
  // process could not be read for want of the right and the fallback could not be asked, else
  // kOwnerOutside (the owner lives outside this pid namespace, where /proc does not show it).
  void assign(Protocol protocol, std::vector<SocketRow>& rows);

  // Asked once for each new socket that no process this one may trace holds. Not owned; null
  // (the default) for none.
  void setFallback(IOwnerLookup* fallback) { fallback_ = fallback; }

  // How many process fd folders were read by the scans so far.
  uint64_t scannedProcesses() const { return scannedProcesses_; }

 private:
  struct FdSocket {
    int32_t fd;
    uint64_t inode;
  };
  struct Slot {
    uint64_t inode = 0;  // 0: free
    int32_t pid = 0;
    uint32_t generation = 0;
    Protocol protocol = Protocol::Tcp;
  };

  Slot* find(uint64_t inode);
  bool isLive(const Slot& slot) const;
  Slot& findOrInsert(uint64_t inode, bool& inserted);
  void rehash(uint32_t slotCount, bool keepStale);
  void dropDeadOwners();
  void scan(Protocol protocol);
  int32_t unseenOwner(const SocketRow& row) const;
  // Reads the descriptors of one process, but not those remembered to hold a live socket.
  void scanProcess(int32_t pid, Protocol protocol, bool trustOtherProtocol = true);
  bool listProcesses();
  void collectOwnerPids();
  // Hands the sockets still pending after the scan to the fallback.
  void askFallback(Protocol protocol, const std::vector<SocketRow>& rows);

  std::vector<Slot> slots_;
  uint32_t size_ = 0;
  uint32_t generation_[2] = {0, 0};
  uint32_t live_[2] = {0, 0};
  uint32_t pending_ = 0;
  std::vector<int32_t> ownerPids_;  // sorted, distinct
  std::vector<int32_t> deadPids_;
  // The socket descriptors each scanned process held at its last scan, by descriptor.
  std::unordered_map<int32_t, std::vector<FdSocket>> fdSockets_;
  std::vector<FdSocket> freshFdSockets_;
  std::vector<int32_t> processes_;
  std::vector<uint64_t> pidBits_;
  std::vector<char> entries_;
  int procFd_ = -1;
  bool deniedFolder_ = false;      // by the latest scan
  bool fallbackAnswered_ = false;  // after the latest scan
  uint64_t scannedProcesses_ = 0;
  IOwnerLookup* fallback_ = nullptr;
  std::vector<uint64_t> unseenInodes_;
  std::vector<int32_t> unseenOwners_;
};

}  // namespace s::platform
