#pragma once

#include <sys/types.h>

#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/linux/rights/UniqueFd.h"

namespace s::platform {

// Waits for the children the program starts and does not wait for itself (a browser, a file
// manager), so that none is left as a zombie. One thread, started with the first child, sleeps
// in poll() on a pidfd per child and reaps each as it ends.
class ChildReaper {
 public:
  ChildReaper();
  ~ChildReaper();
  ChildReaper(const ChildReaper&) = delete;
  ChildReaper& operator=(const ChildReaper&) = delete;

  // The process's reaper.
  static ChildReaper& instance();

  // Takes over `child`, a child of this process that nobody else waits for. When no pidfd can
  // be had for it, it is waited for at once.
  void adopt(pid_t child);
  // Children not reaped yet.
  size_t pendingCount() const;

 private:
  struct Child {
    pid_t pid;
    UniqueFd pidfd;
  };
  void run();
  void wake() const;

  mutable std::mutex lock_;
  std::vector<Child> children_;
  bool stopping_ = false;
  UniqueFd wakeFd_;
  std::thread thread_;
};

}  // namespace s::platform
