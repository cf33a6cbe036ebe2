#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "framework/base/Pooled.h"
#include "framework/col/HashCore.h"

namespace s::col::map {

// A hash map from object keys (equality and hash, or the IgnoreCase family) to pointers of
// any type. Keys and values each have a disposer for clear() and reset() and one for the
// table's destruction; each may be none.
template <class K, class V>
class MapTable final : public Pooled<MapTable<K, V>, PoolableObject> {
 public:
  static_assert(std::is_base_of_v<IObject, K>, "keys are objects: their hash and equality");
  using Pooled<MapTable<K, V>, PoolableObject>::take;
  static MapTable* take(bool ignoreCase, IDestructor<K>* clearKeys, IDestructor<V>* clearValues,
                        IDestructor<K>* destroyKeys, IDestructor<V>* destroyValues) {
    MapTable* table = take();
    table->setup(ignoreCase, clearKeys, clearValues, destroyKeys, destroyValues);
    return table;
  }
  static PoolPtr<MapTable> make(bool ignoreCase, IDestructor<K>* clearKeys,
                                IDestructor<V>* clearValues, IDestructor<K>* destroyKeys,
                                IDestructor<V>* destroyValues) {
    return PoolPtr<MapTable>(take(ignoreCase, clearKeys, clearValues, destroyKeys, destroyValues));
  }

  MapTable() = default;
  ~MapTable() override { clear(destroyKeys_, destroyValues_); }

  // The flag applies only while the table is empty.
  void setup(bool ignoreCase, IDestructor<K>* clearKeys, IDestructor<V>* clearValues,
             IDestructor<K>* destroyKeys, IDestructor<V>* destroyValues) {
    core_.setIgnoreCase(ignoreCase);
    clearKeys_ = clearKeys;
    clearValues_ = clearValues;
    destroyKeys_ = destroyKeys;
    destroyValues_ = destroyValues;
  }

  uint32_t count() const { return core_.count(); }
  uint32_t bucketCount() const { return core_.bucketCount(); }
  uint8_t sizeClass() const { return core_.sizeClass(); }
  bool ignoreCase() const { return core_.ignoreCase(); }
  IDestructor<K>* clearKeys() const { return clearKeys_; }
  IDestructor<V>* clearValues() const { return clearValues_; }
  // For callers that share the table; the operations do not take it themselves.
  thread::ObjLocker& lock() { return core_.lock(); }

  // False when the key is present: nothing is replaced and the caller keeps both.
  bool put(K* key, V* value) {
    TableNode* node = core_.insert(key);
    if (node == nullptr) {
      return false;
    }
    node->value = value;
    return true;
  }
  // Takes the key over, and the value with it, for a table that owns its keys; false when the
  // key is present: the key goes back to its pool and the value stays the caller's.
  bool put(PoolPtr<K> key, V* value) {
    if (!put(key.get(), value)) {
      return false;
    }
    static_cast<void>(handOver(std::move(key)));
    return true;
  }
  // Takes both over, for a table that owns both; false when the key is present, and both go
  // back to their pools.
  bool put(PoolPtr<K> key, PoolPtr<V> value) {
    if (!put(std::move(key), value.get())) {
      return false;
    }
    static_cast<void>(handOver(std::move(value)));
    return true;
  }
  V* get(const K& key) const { return valueOf(core_.find(key)); }
  bool contains(const K& key) const { return core_.find(key) != nullptr; }
  // The stored key equal to `key`, or null.
  K* findKey(const K& key) const { return keyOf(core_.find(key)); }
  // Unlinks the entry and hands its key and value to the caller (when asked); neither is
  // disposed of.
  bool remove(const K& key, K** removedKey = nullptr, V** removedValue = nullptr) {
    TableNode* node = core_.unlink(key);
    if (node == nullptr) {
      return false;
    }
    if (removedKey != nullptr) {
      *removedKey = keyOf(node);
    }
    if (removedValue != nullptr) {
      *removedValue = valueOf(node);
    }
    core_.recycle(node);
    return true;
  }
  // visit(K* key, V* value) for every entry, bucket by bucket.
  template <class Visit>
  void forEach(Visit visit) const {
    core_.forEach([&visit](const TableNode& node) { visit(keyOf(&node), valueOf(&node)); });
  }

  // Every key and value through the given disposers (none: left alone); the buckets stay.
  void clear(IDestructor<K>* keys, IDestructor<V>* values) {
    core_.drain([keys, values](const TableNode& node) {
      if (keys != nullptr) {
        K* key = keyOf(&node);
        keys->destroy(key);
      }
      if (values != nullptr) {
        V* value = valueOf(&node);
        values->destroy(value);
      }
    });
  }
  void reset() override {
    clear(clearKeys_, clearValues_);
    core_.forget();
    clearKeys_ = nullptr;
    clearValues_ = nullptr;
    destroyKeys_ = nullptr;
    destroyValues_ = nullptr;
  }

  std::u16string_view className() const override { return u"s_col_map_MapTable"; }

 private:
  static K* keyOf(const TableNode* node) {
    return node == nullptr ? nullptr : static_cast<K*>(node->key);
  }
  static V* valueOf(const TableNode* node) {
    return node == nullptr ? nullptr : static_cast<V*>(node->value);
  }

  HashCore<TableNode> core_{tableNodePool()};
  IDestructor<K>* clearKeys_ = nullptr;
  IDestructor<V>* clearValues_ = nullptr;
  IDestructor<K>* destroyKeys_ = nullptr;
  IDestructor<V>* destroyValues_ = nullptr;
};

}  // namespace s::col::map

namespace s::col {
using map::MapTable;
}  // namespace s::col
