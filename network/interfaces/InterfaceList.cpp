#include "network/interfaces/InterfaceList.h"

#include <string>

namespace s::system::network::win {

namespace {

constexpr std::u16string_view kVirtual = u"Virtual";

bool named(const NicConn& nic, const std::string& name) {
  std::u16string_view id = nic.getAdapterId();
  return id.size() == name.size() && std::equal(id.begin(), id.end(), name.begin());
}

}  // namespace

InterfaceList::InterfaceList() {
  nics_.setDestructor(&NicConn::pool());
}

uint32_t InterfaceList::count() const {
  std::scoped_lock guard(lock_);
  return nics_.count();
}

void InterfaceList::follow() {
  if (!platform::listInterfaces(netlink_, interfaces_)) {
    return;  // the next notification tries again
  }
  // Their tasks end when `gone` does, outside the lock: a reader never waits for them.
  col::ArrayP<NicConn> gone(&NicConn::pool());
  {
    std::scoped_lock guard(lock_);
    for (uint32_t i = 0; i < nics_.count();) {
      NicConn* nic = nics_.at(i);
      bool kept = std::any_of(
          interfaces_.begin(), interfaces_.end(),
          [nic](const platform::InterfaceInfo& info) { return named(*nic, info.name); });
      if (kept) {
        ++i;
      } else {
        nics_.removeRange(i, 1);
        gone.push(nic);
      }
    }
  }
  for (const platform::InterfaceInfo& info : interfaces_) {
    bool known = false;
    {
      std::scoped_lock guard(lock_);
      for (const NicConn* nic : nics_) {
        known = known || named(*nic, info.name);
      }
    }
    if (known) {
      continue;
    }
    PoolPtr<NicConn> nic = NicConn::make();
    std::u16string name(info.name.begin(), info.name.end());
    std::u16string device(info.device.begin(), info.device.end());
    nic->setConnectionName(name);
    nic->setAdapterId(name);
    nic->setPnpInstanceId(info.isVirtual ? kVirtual : std::u16string_view(device));
    nic->refreshFrom(interfaces_);
    nic->start();
    std::scoped_lock guard(lock_);
    nics_.push(std::move(nic));
  }
}

void InterfaceList::Follower::run() {
  for (;;) {
    if (list_.events_.wait(-1)) {
      list_.follow();
    }
  }
}

InterfaceList& getInterfaceList() {
  // Lives until the program ends, its follower and its interfaces' tasks with it.
  static InterfaceList* list = [] {
    auto* made = new InterfaceList();  // NOLINT: never destroyed, its thread runs to the end
    // Subscribed before the first reading, so that no change falls between the two.
    bool following = made->events_.open();
    made->follow();
    if (following) {
      made->thread_ = thread::win::Thread::make();
      made->thread_->runOnce(&made->follower_);
    }
    return made;
  }();
  return *list;
}

}  // namespace s::system::network::win
