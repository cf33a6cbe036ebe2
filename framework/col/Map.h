#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "framework/base/Pooled.h"
#include "framework/col/ArrayP.h"
#include "framework/col/HashCore.h"

namespace s::col::map {

// A hash set of objects, keyed by their equality and hash (or the IgnoreCase family when
// set up so). Two disposers, each optional: one for elements dropped by clear() and reset(),
// one for those still held when the set itself is destroyed.
template <class T>
class Map final : public Pooled<Map<T>, PoolableObject> {
 public:
  static_assert(std::is_base_of_v<IObject, T>, "keys are objects: their hash and equality");
  using Pooled<Map<T>, PoolableObject>::take;
  static Map* take(bool ignoreCase, IDestructor<T>* clearDisposer,
                   IDestructor<T>* destroyDisposer) {
    Map* map = take();
    map->setup(ignoreCase, clearDisposer, destroyDisposer);
    return map;
  }
  static PoolPtr<Map> make(bool ignoreCase, IDestructor<T>* clearDisposer,
                           IDestructor<T>* destroyDisposer) {
    return PoolPtr<Map>(take(ignoreCase, clearDisposer, destroyDisposer));
  }

  Map() = default;
  ~Map() override {
    core_.drain([this](SetNode& node) { dispose(destroyDisposer_, node); });
  }

  // The flag applies only while the set is empty.
  void setup(bool ignoreCase, IDestructor<T>* clearDisposer, IDestructor<T>* destroyDisposer) {
    core_.setIgnoreCase(ignoreCase);
    clearDisposer_ = clearDisposer;
    destroyDisposer_ = destroyDisposer;
  }

  uint32_t count() const { return core_.count(); }
  uint32_t bucketCount() const { return core_.bucketCount(); }
  uint8_t sizeClass() const { return core_.sizeClass(); }
  bool ignoreCase() const { return core_.ignoreCase(); }
  IDestructor<T>* clearDisposer() const { return clearDisposer_; }
  IDestructor<T>* destroyDisposer() const { return destroyDisposer_; }
  // For callers that share the set; the operations do not take it themselves.
  thread::ObjLocker& lock() { return core_.lock(); }

  // False, and nothing changes, when an equal element is present.
  bool add(T* element) { return core_.insert(element) != nullptr; }
  // Takes the element over, for a set that owns its elements; false when an equal element is
  // present, and the element goes back to its pool.
  bool add(PoolPtr<T> element) {
    if (!add(element.get())) {
      return false;
    }
    static_cast<void>(handOver(std::move(element)));
    return true;
  }
  bool contains(const T& element) const { return core_.find(element) != nullptr; }
  // The stored element equal to `element`, or null.
  T* findEqual(const T& element) const { return elementOf(core_.find(element)); }
  // Unlinks the equal element and hands it to `removed` (when given); it is not disposed of.
  bool remove(const T& element, T** removed = nullptr) {
    SetNode* node = core_.unlink(element);
    if (node == nullptr) {
      return false;
    }
    if (removed != nullptr) {
      *removed = elementOf(node);
    }
    core_.recycle(node);
    return true;
  }
  // Appends every element to `out`, bucket by bucket.
  void elements(ArrayP<T>& out) const {
    core_.forEach([&out](const SetNode& node) { out.push(elementOf(&node)); });
  }
  // Moves every element that `other` holds no equal of (by this set's stored hash) into
  // `removed`, in bucket order; the elements are not disposed of.
  void removeAbsent(const Map& other, ArrayP<T>& removed) {
    core_.removeIf(
        [&other](const SetNode& node) { return other.core_.find(*node.key, node.hash) == nullptr; },
        [&removed](const SetNode& node) { removed.push(elementOf(&node)); });
  }

  // Every element through `disposer` (none: left alone); the buckets stay.
  void clear(IDestructor<T>* disposer) {
    core_.drain([disposer](SetNode& node) { dispose(disposer, node); });
  }
  void reset() override {
    clear(clearDisposer_);
    core_.forget();
    clearDisposer_ = nullptr;
    destroyDisposer_ = nullptr;
  }

  std::u16string_view className() const override { return u"s_col_map_Map"; }

 private:
  static T* elementOf(const SetNode* node) {
    return node == nullptr ? nullptr : static_cast<T*>(node->key);
  }
  static void dispose(IDestructor<T>* disposer, const SetNode& node) {
    if (disposer != nullptr) {
      T* element = elementOf(&node);
      disposer->destroy(element);
    }
  }

  HashCore<SetNode> core_{setNodePool()};
  IDestructor<T>* clearDisposer_ = nullptr;
  IDestructor<T>* destroyDisposer_ = nullptr;
};

}  // namespace s::col::map

namespace s::col {
using map::Map;
}  // namespace s::col
