#pragma once

#include <memory>
#include <string>

#include "framework/base/Pooled.h"
#include "framework/file/BackgroundWriter.h"
#include "framework/settings/IMappedData.h"
#include "framework/xml/Node.h"

namespace s::xml {

// What became of the settings file when the store was opened.
enum class FileState {
  kRead,       // a settings document, loaded
  kNew,        // none yet (or an empty file): the store starts empty
  kKeptAside,  // not a settings document: moved to keptAsidePath(), the store starts empty
  kRefused,    // not a regular file, or unreadable: the store starts empty and never saves
};

// The settings store over one XML file: every directory an element, every value an
// attribute. With auto-save on, every change is handed to a writer thread at once, so that
// the thread that made it does not wait for the disk; save() writes and waits.
class MappedData final : public Pooled<MappedData, settings::IMappedData> {
 public:
  MappedData() = default;
  ~MappedData() override { reset(); }
  void reset() override;

  // A store over `path`. Only a whole document whose root is "savedata" is loaded: anything
  // else is moved aside under a dated name (kKeptAside), so that nothing the user had is lost
  // and what the store saves reads back. A path that is no regular file is not read, nor ever
  // written (kRefused).
  static PoolPtr<MappedData> open(std::u16string_view path);
  // The program's settings file: savedata/SaveData.xml in the data folder.
  static PoolPtr<MappedData> openProgramSettings();
  // A store without a file.
  static PoolPtr<MappedData> inMemory();

  std::u16string_view path() const { return path_; }
  const Node* root() const { return root_.get(); }
  FileState fileState() const { return state_; }
  // Where an unreadable file was moved to (kKeptAside); empty otherwise.
  std::u16string_view keptAsidePath() const { return keptAside_; }

  // Writes the document and waits; false without a file, for a refused path, or when the
  // write failed (the file then keeps its previous content).
  bool save() override;
  // Hands the document to the writer thread without waiting, as an automatic save does.
  void saveSoon();
  // Waits until the automatic saves handed over so far are written; answers whether the last
  // one succeeded.
  bool flush();
  void openDir(std::u16string_view dir) override { current_ = walk(dir, true); }
  void removeDir(std::u16string_view dir) override;
  bool findDir(std::u16string_view dir) override;
  bool hasValue(std::u16string_view dir, std::u16string_view key) override;

  uint8_t getU8(std::u16string_view dir, std::u16string_view key, uint8_t fallback) override;
  uint16_t getU16(std::u16string_view dir, std::u16string_view key, uint16_t fallback) override;
  uint32_t getU32(std::u16string_view dir, std::u16string_view key, uint32_t fallback) override;
  uint64_t getU64(std::u16string_view dir, std::u16string_view key, uint64_t fallback) override;
  int8_t getS8(std::u16string_view dir, std::u16string_view key, int8_t fallback) override;
  int16_t getS16(std::u16string_view dir, std::u16string_view key, int16_t fallback) override;
  int32_t getS32(std::u16string_view dir, std::u16string_view key, int32_t fallback) override;
  int64_t getS64(std::u16string_view dir, std::u16string_view key, int64_t fallback) override;
  float getF32(std::u16string_view dir, std::u16string_view key, float fallback) override;
  double getF64(std::u16string_view dir, std::u16string_view key, double fallback) override;
  bool getBool(std::u16string_view dir, std::u16string_view key, bool fallback) override;
  std::u16string_view getString(std::u16string_view dir, std::u16string_view key,
                                std::u16string_view fallback, bool* expandable = nullptr,
                                bool expand = false) override;
  void getBytes(std::u16string_view dir, std::u16string_view key, col::ArrayU08& bytes) override;
  void removeValue(std::u16string_view dir, std::u16string_view key) override;

  void setU8(std::u16string_view dir, std::u16string_view key, uint8_t value) override;
  void setU16(std::u16string_view dir, std::u16string_view key, uint16_t value) override;
  void setU32(std::u16string_view dir, std::u16string_view key, uint32_t value) override;
  void setU64(std::u16string_view dir, std::u16string_view key, uint64_t value) override;
  void setS8(std::u16string_view dir, std::u16string_view key, int8_t value) override;
  void setS16(std::u16string_view dir, std::u16string_view key, int16_t value) override;
  void setS32(std::u16string_view dir, std::u16string_view key, int32_t value) override;
  void setS64(std::u16string_view dir, std::u16string_view key, int64_t value) override;
  void setF32(std::u16string_view dir, std::u16string_view key, float value) override;
  void setF64(std::u16string_view dir, std::u16string_view key, double value) override;
  void setBool(std::u16string_view dir, std::u16string_view key, bool value) override;
  void setString(std::u16string_view dir, std::u16string_view key,
                 std::u16string_view value) override;
  void setExpandString(std::u16string_view dir, std::u16string_view key,
                       std::u16string_view value) override {
    setString(dir, key, value);
  }
  void setBytes(std::u16string_view dir, std::u16string_view key, const uint8_t* bytes,
                uint32_t count) override;

  bool autoSave() const override { return autoSave_; }
  void setAutoSave(bool on) override { autoSave_ = on; }

  std::u16string_view className() const override { return u"s_xml_MappedData"; }

 private:
  // The element of `dir`; with `create`, missing elements are made on the way. Remembers
  // the dir so that repeated lookups of one dir do not walk again.
  Node* walk(std::u16string_view dir, bool create);
  // The element that holds `key` of `dir`, or null.
  const Node* valueNode(std::u16string_view dir, std::u16string_view key);
  // openDir, drop the old value, then let `add` append the new one; then auto-save.
  template <class Add>
  void store(std::u16string_view dir, std::u16string_view key, Add add);
  file::BackgroundWriter& writer();
  // Loads `bytes` when they are a settings document.
  bool loadDocument(const std::string& bytes);
  // Moves the file aside under a dated name; false when it could not be moved.
  bool keepAside();

  std::u16string path_;
  std::u16string scratch_;
  std::u16string lastDir_;
  bool lastDirValid_ = false;
  PoolPtr<Node> root_;
  // Within root_.
  Node* current_ = nullptr;
  bool autoSave_ = false;
  FileState state_ = FileState::kNew;
  std::u16string keptAside_;
  std::unique_ptr<file::BackgroundWriter> writer_;
};

}  // namespace s::xml
