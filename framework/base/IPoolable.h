#pragma once

namespace s {

class IPoolable {
 public:
  virtual ~IPoolable() = default;
  // Gives the object back to its class's pool.
  virtual void release() = 0;
  // Returns the object to its freshly made state, releasing the pooled parts it holds.
  virtual void reset() = 0;
};

template <class T>
class IGenerator {
 public:
  virtual ~IGenerator() = default;
  virtual T* generate() = 0;
};

// Disposes of the object in `slot` (if any) and nulls the slot. Containers hold one to drop
// their elements: a pool recycles, a cleaner frees.
template <class T>
class IDestructor {
 public:
  virtual ~IDestructor() = default;
  virtual void destroy(T*& slot) = 0;
};

}  // namespace s
