#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "framework/col/ArrayP.h"
#include "framework/thread/ITask.h"
#include "framework/thread/Thread.h"
#include "network/interfaces/NicConn.h"
#include "platform/linux/capture/InterfaceList.h"
#include "platform/linux/capture/Rtnetlink.h"

namespace s::system::network::win {

// The process-wide list of the computer's network interfaces, loopback excepted: at first in
// interface-index order, each refreshed once and then by its own task. It follows the kernel:
// a thread of its own hears route netlink's link notifications, an interface that appears (a
// VPN, Wi-Fi after resume, a container's veth) joins the end of the list and one that goes
// leaves it, its task stopped. Positions are those of the moment: a reader takes an interface
// with withInterface, which holds the list still while it looks.
class InterfaceList {
 public:
  uint32_t count() const;
  // Calls `use(NicConn&)` with interface i under the list's lock; false, without calling it,
  // when there is no interface i.
  template <class Use>
  bool withInterface(uint32_t i, Use&& use) const {
    std::scoped_lock guard(lock_);
    if (i >= nics_.count()) {
      return false;
    }
    use(*nics_.at(i));
    return true;
  }

 private:
  class Follower final : public ITask {
   public:
    explicit Follower(InterfaceList& list) : list_(list) {}
    void run() override;

   private:
    InterfaceList& list_;
  };
  friend InterfaceList& getInterfaceList();

  InterfaceList();
  // Takes the kernel's interfaces now: new ones join, gone ones leave.
  void follow();

  mutable std::mutex lock_;
  col::ArrayP<NicConn> nics_;
  // The follower's, opened by the builder so that both read its network namespace.
  platform::RtnetlinkSocket netlink_;
  platform::LinkEvents events_;
  std::vector<platform::InterfaceInfo> interfaces_;
  Follower follower_{*this};
  PoolPtr<thread::win::Thread> thread_;
};

// The process-wide interface list, built on first use and kept until the program ends.
InterfaceList& getInterfaceList();

}  // namespace s::system::network::win
