#pragma once

#include <functional>
#include <mutex>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"

namespace s::thread {

// A recursive lock that may own one object, disposed of when the locker goes. Satisfies
// Lockable, so std::scoped_lock and std::unique_lock take it.
class ObjLocker final : public IObject {
 public:
  ObjLocker() = default;
  ~ObjLocker() override { dropObject(); }
  ObjLocker(const ObjLocker&) = delete;
  ObjLocker& operator=(const ObjLocker&) = delete;

  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }
  bool try_lock() { return mutex_.try_lock(); }  // NOLINT(readability-identifier-naming)

  void* object() const { return object_; }
  template <class T>
  T* objectAs() const {
    return static_cast<T*>(object_);
  }

  // Owns `object`, freed with `freeFunction`.
  template <class T>
  void own(T* object, void (*freeFunction)(T*)) {
    dropObject();
    object_ = object;
    dispose_ = [object, freeFunction] { freeFunction(object); };
  }
  // Owns `object`, disposed of through `destructor`.
  template <class T>
  void own(T* object, IDestructor<T>& destructor) {
    dropObject();
    object_ = object;
    dispose_ = [object, &destructor]() mutable { destructor.destroy(object); };
  }
  // Owns `object`, deleted.
  template <class T>
  void own(T* object) {
    dropObject();
    object_ = object;
    dispose_ = [object] { delete object; };
  }

  std::u16string_view className() const override { return u"s_thread_ObjLocker"; }
  ObjectPtr newInstance() const override { return ObjectPtr(new ObjLocker()); }

 private:
  void dropObject() {
    if (dispose_) {
      dispose_();
      dispose_ = nullptr;
    }
    object_ = nullptr;
  }

  std::recursive_mutex mutex_;
  void* object_ = nullptr;
  std::function<void()> dispose_;
};

}  // namespace s::thread
