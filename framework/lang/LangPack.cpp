#include "framework/lang/LangPack.h"

#include <algorithm>

namespace s::lang {

void LangPack::reset() {
  tag_.clear();
  engName_.clear();
  trueName_.clear();
  std::vector<int32_t>().swap(ids_);
  std::vector<std::u16string>().swap(texts_);
  keyTexts_.clear();
}

void LangPack::setNames(std::u16string_view tag, std::u16string_view engName,
                        std::u16string_view trueName) {
  tag_.assign(tag);
  engName_.assign(engName);
  trueName_.assign(trueName);
}

bool LangPack::hasId(int32_t id) const {
  return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

std::u16string_view LangPack::text(int32_t id) const {
  auto found = std::find(ids_.begin(), ids_.end(), id);
  return found == ids_.end() ? std::u16string_view() : texts_[found - ids_.begin()];
}

void LangPack::addText(int32_t id, std::u16string_view text) {
  ids_.push_back(id);
  texts_.emplace_back(text);
}

bool LangPack::hasKey(std::u16string_view key) const {
  return keyTexts_.contains(std::u16string(key));
}

std::u16string_view LangPack::keyText(std::u16string_view key) const {
  auto found = keyTexts_.find(std::u16string(key));
  return found == keyTexts_.end() ? std::u16string_view() : std::u16string_view(found->second);
}

void LangPack::addKeyText(std::u16string_view key, std::u16string_view text) {
  keyTexts_.emplace(key, text);
}

}  // namespace s::lang
