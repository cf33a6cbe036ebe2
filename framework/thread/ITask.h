#pragma once

namespace s {

// Anything that can be run, e.g. on a worker thread.
class ITask {
 public:
  virtual ~ITask() = default;
  virtual void run() = 0;
};

}  // namespace s
