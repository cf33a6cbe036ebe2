#pragma once

#include <cstdint>

#include "framework/base/EasyPooler.h"
#include "framework/base/IObject.h"
#include "framework/base/ObjLocker.h"
#include "framework/col/ArrayP.h"

namespace s::col::map {

// Chain nodes, plain records recycled through the two process-wide node pools.
struct SetNode {
  uint32_t hash;
  IObject* key;
  SetNode* next;
};
struct TableNode {
  uint32_t hash;
  IObject* key;
  void* value;
  TableNode* next;
};

thread::EasyPooler<SetNode>& setNodePool();
thread::EasyPooler<TableNode>& tableNodePool();

// Large enough for the nodes of a big table that is emptied and filled again every cycle.
inline constexpr uint32_t kNodePoolCapacity = 65536;
inline constexpr uint8_t kSizeClasses = 20;
// Bucket counts by size class.
inline constexpr uint32_t kBucketCounts[kSizeClasses] = {
    211,    431,    863,    1733,    3467,    6947,    13901,    27803,    55609,    111227,
    222461, 444929, 889871, 1779761, 3559537, 7119103, 14238221, 28476473, 56952947, 113905901};

// The hash chains behind Map and MapTable, over type-erased keys: buckets of chain heads,
// nodes appended at a chain's tail, the load kept at most one half by moving to the next
// size class. Tables never shrink. Not locked: the owner's lock() is for its callers.
template <class Node>
class HashCore {
 public:
  explicit HashCore(thread::EasyPooler<Node>& pool) : pool_(pool) {}
  // Gives back the nodes still linked; their contents are the owner's to dispose of first.
  ~HashCore();
  HashCore(const HashCore&) = delete;
  HashCore& operator=(const HashCore&) = delete;

  uint32_t count() const { return count_; }
  uint32_t bucketCount() const { return buckets_.count(); }
  uint8_t sizeClass() const { return sizeClass_; }
  bool ignoreCase() const { return ignoreCase_; }
  // Takes effect only while the table is empty: stored hashes depend on it.
  void setIgnoreCase(bool ignoreCase);
  thread::ObjLocker& lock() { return lock_; }

  uint32_t hashOf(const IObject& key) const;
  Node* find(const IObject& key) const { return find(key, hashOf(key)); }
  Node* find(const IObject& key, uint32_t hash) const;
  // Links a node for the key at the tail of its chain and answers it, or null when an equal
  // key is present (nothing changes then).
  Node* insert(IObject* key);
  // Unlinks the key's node and answers it (null when absent); give it back with recycle().
  Node* unlink(const IObject& key);
  void recycle(Node* node) { pool_.giveBack(node); }

  // Visits every node, bucket by bucket, each chain from its head.
  template <class Visit>
  void forEach(Visit visit) const {
    for (Node* head : buckets_) {
      for (Node* node = head; node != nullptr; node = node->next) {
        visit(*node);
      }
    }
  }
  // Unlinks every node for which remove(node) holds, in visiting order, handing it to
  // take(node) before giving it back.
  template <class Remove, class Take>
  void removeIf(Remove remove, Take take) {
    for (Node*& head : buckets_) {
      for (Node** link = &head; *link != nullptr;) {
        Node* node = *link;
        if (remove(*node)) {
          *link = node->next;
          --count_;
          take(*node);
          recycle(node);
        } else {
          link = &node->next;
        }
      }
    }
  }
  // Hands every node to dispose(node) and gives it back; the buckets stay.
  template <class Dispose>
  void drain(Dispose dispose) {
    removeIf([](const Node&) { return true; }, dispose);
  }
  // Drains without disposing and forgets the flag. The bucket block and its size class stay, so
  // a recycled table that fills to its old size again allocates nothing: tables never shrink.
  void forget();

 private:
  bool matches(const Node& node, const IObject& key, uint32_t hash) const;
  void allocateBuckets();
  // Moves to the next size class, appending every node at the tail of its new chain.
  void grow();

  thread::ObjLocker lock_;
  thread::EasyPooler<Node>& pool_;
  ArrayP<Node> buckets_;
  bool ignoreCase_ = false;
  uint8_t sizeClass_ = 0;
  uint32_t count_ = 0;
};

extern template class HashCore<SetNode>;
extern template class HashCore<TableNode>;

}  // namespace s::col::map
