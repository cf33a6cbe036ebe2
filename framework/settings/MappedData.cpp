#include "framework/settings/MappedData.h"

#include <ctime>
#include <utility>

#include "framework/file/NativePath.h"
#include "framework/file/PathWin.h"
#include "framework/str/Utf8.h"
#include "framework/xml/Names.h"

namespace s::xml {

namespace {

bool onlyBlanks(const std::string& bytes) {
  return bytes.find_first_not_of(" \t\r\n") == std::string::npos;
}

// Decoded, when every byte was part of a valid UTF-8 sequence.
bool decodeStrictly(const std::string& bytes, std::u16string& text) {
  text.assign(bytes.size(), u'\0');
  text.resize(
      str::utf8::decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), text.data()));
  // A replacement character is only honest when the file spelled it out.
  size_t written = 0;
  for (size_t at = bytes.find("\xEF\xBF\xBD"); at != std::string::npos;
       at = bytes.find("\xEF\xBF\xBD", at + 3)) {
    ++written;
  }
  size_t decoded = 0;
  for (char16_t c : text) {
    decoded += c == u'\uFFFD' ? 1 : 0;
  }
  return decoded == written;
}

}  // namespace

void MappedData::reset() {
  // Whatever was handed over reaches the file before the store goes.
  writer_.reset();
  current_ = nullptr;
  root_.reset();
  std::u16string().swap(path_);
  std::u16string().swap(scratch_);
  std::u16string().swap(lastDir_);
  lastDirValid_ = false;
  autoSave_ = false;
  state_ = FileState::kNew;
  std::u16string().swap(keptAside_);
}

PoolPtr<MappedData> MappedData::open(std::u16string_view path) {
  PoolPtr<MappedData> store = inMemory();
  store->path_.assign(path);
  std::string bytes;
  switch (file::PathWin::of(path)->readRegular(bytes)) {
    case file::ReadOutcome::kMissing:
      break;
    case file::ReadOutcome::kNotRegular:
    case file::ReadOutcome::kUnreadable:
      store->state_ = FileState::kRefused;
      break;
    case file::ReadOutcome::kRead:
      if (onlyBlanks(bytes)) {
        break;
      }
      if (store->loadDocument(bytes)) {
        store->state_ = FileState::kRead;
      } else {
        // Saving over a file that could not be moved would lose it.
        store->state_ = store->keepAside() ? FileState::kKeptAside : FileState::kRefused;
      }
      break;
  }
  store->current_ = store->root_.get();
  return store;
}

bool MappedData::loadDocument(const std::string& bytes) {
  std::u16string text;
  if (!decodeStrictly(bytes, text)) {
    return false;
  }
  PoolPtr<Node> loaded = Node::make();
  if (!loaded->parseDocument(text) || !sameName(loaded->name(), u"savedata")) {
    return false;
  }
  root_ = std::move(loaded);
  return true;
}

bool MappedData::keepAside() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, ".bad-%Y-%m-%d-%H%M%S", &local);
  PoolPtr<file::PathWin> file = file::PathWin::of(path_);
  const std::u16string dated = path_ + file::fromNative(stamp);
  for (int attempt = 1; attempt < 100; ++attempt) {
    std::u16string name =
        attempt == 1 ? dated : dated + u"-" + file::fromNative(std::to_string(attempt));
    PoolPtr<file::PathWin> aside = file::PathWin::of(name);
    if (!aside->exists() && file->moveTo(*aside, false)) {
      keptAside_ = std::move(name);
      return true;
    }
  }
  return false;
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

file::BackgroundWriter& MappedData::writer() {
  if (writer_ == nullptr) {
    writer_ = std::make_unique<file::BackgroundWriter>(path_);
  }
  return *writer_;
}

bool MappedData::save() {
  if (path_.empty() || state_ == FileState::kRefused) {
    return false;
  }
  // Through the writer, so that no automatic save still on its way lands after this one.
  return writer().writeAndWait(root_->toBytes());
}

bool MappedData::flush() {
  return writer_ == nullptr || writer_->wait();
}

void MappedData::saveSoon() {
  if (!path_.empty() && state_ != FileState::kRefused) {
    writer().write(root_->toBytes());
  }
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
      saveSoon();
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
    saveSoon();
  }
}

template <class Add>
void MappedData::store(std::u16string_view dir, std::u16string_view key, Add add) {
  Node* node = walk(dir, true);
  node->attributes().remove(key);
  add(*node);
  if (autoSave_) {
    saveSoon();
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
