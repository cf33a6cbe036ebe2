#pragma once

#include <memory>
#include <type_traits>

namespace s::platform::ui {

// Runs work on the thread of a user-interface loop (a window's, the console view's) and waits
// until it has run. The work is an operation and its argument block, which lives on the
// caller's stack and takes the results back, so carrying it allocates nothing. Several
// operations carried together (a batch) are one block whose operation runs them all: one
// round trip for the lot.
class IUiExecutor {
 public:
  using Operation = void (*)(void* block);

  virtual ~IUiExecutor() = default;

  // Runs op(block) on the executor's thread and returns when it has run; called on that thread
  // it runs at once. False when it did not run: the thread has ended, or never began.
  virtual bool runSync(Operation op, void* block) = 0;

  // The same for a callable (a lambda), called where it stands.
  template <class Work>
  requires std::is_invocable_v<Work&>
  bool runSync(Work&& work) {
    using Callable = std::remove_reference_t<Work>;
    return runSync([](void* block) { (*static_cast<Callable*>(block))(); },
                   const_cast<void*>(static_cast<const void*>(std::addressof(work))));
  }
};

}  // namespace s::platform::ui
