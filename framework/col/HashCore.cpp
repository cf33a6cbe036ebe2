#include "framework/col/HashCore.h"

#include <algorithm>
#include <vector>

namespace s::col::map {

namespace {

template <class Node>
thread::EasyPooler<Node>& nodePool() {
  static thread::EasyPooler<Node> pool(
      kNodePoolCapacity, [] { return new Node(); }, [](Node* node) { delete node; },
      [](Node* node) { *node = Node(); });
  return pool;
}

}  // namespace

thread::EasyPooler<SetNode>& setNodePool() {
  return nodePool<SetNode>();
}
thread::EasyPooler<TableNode>& tableNodePool() {
  return nodePool<TableNode>();
}

template <class Node>
HashCore<Node>::~HashCore() {
  drain([](const Node&) {});
}

template <class Node>
void HashCore<Node>::setIgnoreCase(bool ignoreCase) {
  if (count_ == 0) {
    ignoreCase_ = ignoreCase;
  }
}

template <class Node>
uint32_t HashCore<Node>::hashOf(const IObject& key) const {
  return ignoreCase_ ? key.hashCodeIgnoreCase() : key.hashCode();
}

template <class Node>
bool HashCore<Node>::matches(const Node& node, const IObject& key, uint32_t hash) const {
  return node.hash == hash &&
         (ignoreCase_ ? key.equalsIgnoreCase(*node.key, nullptr) : key.equals(*node.key));
}

template <class Node>
Node* HashCore<Node>::find(const IObject& key, uint32_t hash) const {
  if (buckets_.empty()) {
    return nullptr;
  }
  for (Node* node = buckets_[hash % buckets_.count()]; node != nullptr; node = node->next) {
    if (matches(*node, key, hash)) {
      return node;
    }
  }
  return nullptr;
}

template <class Node>
void HashCore<Node>::allocateBuckets() {
  buckets_.setCount(kBucketCounts[sizeClass_]);
  std::fill(buckets_.begin(), buckets_.end(), nullptr);
}

template <class Node>
void HashCore<Node>::grow() {
  if (sizeClass_ + 1 >= kSizeClasses) {
    return;
  }
  std::vector<Node*> oldHeads(buckets_.begin(), buckets_.end());
  ++sizeClass_;
  buckets_.freeMemory();
  allocateBuckets();
  // Each new chain's tail, so that every node is appended in constant time.
  std::vector<Node**> tails(buckets_.count());
  for (uint32_t b = 0; b < buckets_.count(); ++b) {
    tails[b] = &buckets_[b];
  }
  for (Node* node : oldHeads) {
    while (node != nullptr) {
      Node* next = node->next;
      Node**& tail = tails[node->hash % buckets_.count()];
      node->next = nullptr;
      *tail = node;
      tail = &node->next;
      node = next;
    }
  }
}

template <class Node>
Node* HashCore<Node>::insert(IObject* key) {
  if (buckets_.empty()) {
    allocateBuckets();
  } else if (count_ >= buckets_.count() / 2) {
    grow();
  }
  uint32_t hash = hashOf(*key);
  Node** tail = &buckets_[hash % buckets_.count()];
  for (; *tail != nullptr; tail = &(*tail)->next) {
    if (matches(**tail, *key, hash)) {
      return nullptr;
    }
  }
  Node* node = pool_.take();
  node->hash = hash;
  node->key = key;
  node->next = nullptr;
  *tail = node;
  ++count_;
  return node;
}

template <class Node>
Node* HashCore<Node>::unlink(const IObject& key) {
  if (buckets_.empty()) {
    return nullptr;
  }
  uint32_t hash = hashOf(key);
  for (Node** link = &buckets_[hash % buckets_.count()]; *link != nullptr; link = &(*link)->next) {
    Node* node = *link;
    if (matches(*node, key, hash)) {
      *link = node->next;
      node->next = nullptr;
      --count_;
      return node;
    }
  }
  return nullptr;
}

template <class Node>
void HashCore<Node>::forget() {
  drain([](const Node&) {});
  ignoreCase_ = false;
}

template class HashCore<SetNode>;
template class HashCore<TableNode>;

}  // namespace s::col::map
