#include "framework/settings/MappedData.h"

#include <utility>

#include "framework/file/PathWin.h"
#include "framework/xml/Names.h"

namespace s::xml {

void MappedData::reset() {
  current_ = nullptr;
  root_.reset();
  std::u16string().swap(path_);
  std::u16string().swap(scratch_);
  std::u16string().swap(lastDir_);
  lastDirValid_ = false;
  autoSave_ = false;
}

PoolPtr<MappedData> MappedData::open(std::u16string_view path) {
  PoolPtr<MappedData> store = inMemory();
  store->path_.assign(path);
  if (file::PathWin::of(path)->isFile()) {
    PoolPtr<Node> loaded = Node::make();
    loaded->load(path);
    // A file that held nothing readable starts an empty document.
    if (loaded->name().empty()) {
      loaded->setName(u"savedata");
    }
    store->root_ = std::move(loaded);
  }
  store->current_ = store->root_.get();
  return store;
}

PoolPtr<MappedData> MappedData::openProgramSettings() {
  return open(std::u16string(file::PathWin::dataFolder()->full()) + u"/savedata/SaveData.xml");
}

PoolPtr<MappedData> MappedData::inMemory() {
  PoolPtr<MappedData> store = make();
  store->root_ = Node::make();
  store->root_->setName(u"savedata");
  store->current_ = store->root_.get();
  return store;
}

bool MappedData::save() {
  return !path_.empty() && root_->save(path_);
}

Node* MappedData::walk(std::u16string_view dir, bool create) {
  if (lastDirValid_ && sameName(dir, lastDir_) && (current_ != nullptr || !create)) {
    return current_;
  }
  lastDir_.assign(dir);
  lastDirValid_ = true;
  Node* node = root_.get();
  size_t start = 0;
  while (node != nullptr && start < dir.size()) {
    size_t end = dir.find_first_of(u"/\\", start);
    if (end == std::u16string_view::npos) {
      end = dir.size();
    }
    std::u16string_view segment = dir.substr(start, end - start);
    start = end + 1;
    if (segment.empty()) {
      continue;
    }
    Node* child = node->childNamed(segment, static_cast<int>(segment.size()));
    if (child == nullptr && create) {
      child = node->addChild(segment);
    }
    node = child;
  }
  current_ = node;
  return node;
}

bool MappedData::findDir(std::u16string_view dir) {
  return walk(dir, false) != nullptr;
}

void MappedData::removeDir(std::u16string_view dir) {
  size_t cut = dir.find_last_of(u"/\\");
  std::u16string_view parentDir = cut == std::u16string_view::npos ? u"" : dir.substr(0, cut);
  std::u16string_view last = cut == std::u16string_view::npos ? dir : dir.substr(cut + 1);
  Node* parent = walk(parentDir, false);
  uint32_t index = 0;
  if (parent != nullptr && !last.empty() &&
      parent->findChild(last, index, static_cast<int>(last.size()))) {
    parent->removeChild(index);
    if (autoSave_) {
      save();
    }
  }
}

const Node* MappedData::valueNode(std::u16string_view dir, std::u16string_view key) {
  const Node* node = walk(dir, false);
  return node != nullptr && node->attributes().find(key) >= 0 ? node : nullptr;
}

bool MappedData::hasValue(std::u16string_view dir, std::u16string_view key) {
  return valueNode(dir, key) != nullptr;
}

uint8_t MappedData::getU8(std::u16string_view dir, std::u16string_view key, uint8_t fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getU8(key, fallback);
}
uint16_t MappedData::getU16(std::u16string_view dir, std::u16string_view key, uint16_t fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getU16(key, fallback);
}
uint32_t MappedData::getU32(std::u16string_view dir, std::u16string_view key, uint32_t fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getU32(key, fallback);
}
uint64_t MappedData::getU64(std::u16string_view dir, std::u16string_view key, uint64_t fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getU64(key, fallback);
}
int8_t MappedData::getS8(std::u16string_view dir, std::u16string_view key, int8_t fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getS8(key, fallback);
}
int16_t MappedData::getS16(std::u16string_view dir, std::u16string_view key, int16_t fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getS16(key, fallback);
}
int32_t MappedData::getS32(std::u16string_view dir, std::u16string_view key, int32_t fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getS32(key, fallback);
}
int64_t MappedData::getS64(std::u16string_view dir, std::u16string_view key, int64_t fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getS64(key, fallback);
}
float MappedData::getF32(std::u16string_view dir, std::u16string_view key, float fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getF32(key, fallback);
}
double MappedData::getF64(std::u16string_view dir, std::u16string_view key, double fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getF64(key, fallback);
}
bool MappedData::getBool(std::u16string_view dir, std::u16string_view key, bool fallback) {
  const Node* node = valueNode(dir, key);
  return node == nullptr ? fallback : node->getBool(key, fallback);
}

std::u16string_view MappedData::getString(std::u16string_view dir, std::u16string_view key,
                                          std::u16string_view fallback, bool* expandable,
                                          bool /*expand*/) {
  if (expandable != nullptr) {
    *expandable = false;
  }
  const Node* node = walk(dir, false);
  if (node == nullptr) {
    return fallback;
  }
  node->getString(scratch_, key, fallback);
  return scratch_;
}

void MappedData::getBytes(std::u16string_view dir, std::u16string_view key, col::ArrayU08& bytes) {
  const Node* node = valueNode(dir, key);
  if (node != nullptr) {
    node->getBytes(key, bytes);
  }
}

void MappedData::removeValue(std::u16string_view dir, std::u16string_view key) {
  Node* node = walk(dir, false);
  if (node != nullptr && node->attributes().remove(key) && autoSave_) {
    save();
  }
}

template <class Add>
void MappedData::store(std::u16string_view dir, std::u16string_view key, Add add) {
  Node* node = walk(dir, true);
  node->attributes().remove(key);
  add(*node);
  if (autoSave_) {
    save();
  }
}

void MappedData::setU8(std::u16string_view dir, std::u16string_view key, uint8_t value) {
  store(dir, key, [&](Node& node) { node.addU8(key, value); });
}
void MappedData::setU16(std::u16string_view dir, std::u16string_view key, uint16_t value) {
  store(dir, key, [&](Node& node) { node.addU16(key, value); });
}
void MappedData::setU32(std::u16string_view dir, std::u16string_view key, uint32_t value) {
  store(dir, key, [&](Node& node) { node.addU32(key, value); });
}
void MappedData::setU64(std::u16string_view dir, std::u16string_view key, uint64_t value) {
  // 64-bit values are written signed, as they are read.
  store(dir, key, [&](Node& node) { node.addS64(key, static_cast<int64_t>(value)); });
}
void MappedData::setS8(std::u16string_view dir, std::u16string_view key, int8_t value) {
  store(dir, key, [&](Node& node) { node.addS8(key, value); });
}
void MappedData::setS16(std::u16string_view dir, std::u16string_view key, int16_t value) {
  store(dir, key, [&](Node& node) { node.addS16(key, value); });
}
void MappedData::setS32(std::u16string_view dir, std::u16string_view key, int32_t value) {
  store(dir, key, [&](Node& node) { node.addS32(key, value); });
}
void MappedData::setS64(std::u16string_view dir, std::u16string_view key, int64_t value) {
  store(dir, key, [&](Node& node) { node.addS64(key, value); });
}
void MappedData::setF32(std::u16string_view dir, std::u16string_view key, float value) {
  store(dir, key, [&](Node& node) { node.addF32(key, value); });
}
void MappedData::setF64(std::u16string_view dir, std::u16string_view key, double value) {
  store(dir, key, [&](Node& node) { node.addF64(key, value); });
}
void MappedData::setBool(std::u16string_view dir, std::u16string_view key, bool value) {
  store(dir, key, [&](Node& node) { node.addU8(key, value ? 1 : 0); });
}
void MappedData::setString(std::u16string_view dir, std::u16string_view key,
                           std::u16string_view value) {
  store(dir, key, [&](Node& node) { node.addString(key, value); });
}
void MappedData::setBytes(std::u16string_view dir, std::u16string_view key, const uint8_t* bytes,
                          uint32_t count) {
  store(dir, key, [&](Node& node) { node.addBytes(key, bytes, count); });
}

}  // namespace s::xml
