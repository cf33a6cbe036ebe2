#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/base/Pooled.h"

namespace s::lang {

// One language of the pack: its tag, English name, own name and its texts by numeric id
// (in load order) or by text key.
class LangPack final : public Pooled<LangPack, PoolableObject> {
 public:
  void reset() override;

  std::u16string_view tag() const { return tag_; }
  std::u16string_view engName() const { return engName_; }
  std::u16string_view trueName() const { return trueName_; }
  void setNames(std::u16string_view tag, std::u16string_view engName, std::u16string_view trueName);

  bool hasId(int32_t id) const;
  // The text of `id`, or empty when the language has none.
  std::u16string_view text(int32_t id) const;
  void addText(int32_t id, std::u16string_view text);

  bool hasKey(std::u16string_view key) const;
  std::u16string_view keyText(std::u16string_view key) const;
  void addKeyText(std::u16string_view key, std::u16string_view text);

  size_t idCount() const { return ids_.size(); }
  int32_t idAt(size_t index) const { return ids_[index]; }

  std::u16string_view className() const override { return u"s_lang_LangPack"; }

 private:
  std::u16string tag_;
  std::u16string engName_;
  std::u16string trueName_;
  // About a hundred ids: a scan from the start is all a lookup needs.
  std::vector<int32_t> ids_;
  std::vector<std::u16string> texts_;
  std::unordered_map<std::u16string, std::u16string> keyTexts_;
};

}  // namespace s::lang
