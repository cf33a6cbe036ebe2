#pragma once

namespace s::gui {

// Carries list operations over to the thread that owns the list's window. The window
// implements it; a list without one runs its operations on the caller's thread.
class IUiExecutor {
 public:
  // The operation and its argument block, which lives on the caller's stack and takes the
  // results back.
  using Operation = void (*)(void* block);

  virtual ~IUiExecutor() = default;
  // Runs op(block) on the window's thread and returns when it has run; called on that thread
  // it runs at once.
  virtual void runSync(Operation op, void* block) = 0;
};

}  // namespace s::gui
