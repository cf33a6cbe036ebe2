#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "framework/base/IEventListener.h"
#include "framework/base/Pooled.h"
#include "framework/lang/LangPack.h"

namespace s::lang {

// Every text the program shows, by numeric id, in the chosen language. Listeners hear of
// every change of language (onEvent(localizer, 0)) and fetch their texts again.
class Localizer final : public Pooled<Localizer, PoolableObject> {
 public:
  Localizer() = default;
  ~Localizer() override { reset(); }
  void reset() override;

  // The pack embedded in the program ("IDR_XML", 130), with the user's language chosen. Any
  // other resource gives a localizer without languages.
  static PoolPtr<Localizer> fromResource(std::u16string_view resourceName, int32_t resourceId);
  // A pack from its UTF-8 bytes, with the user's language chosen.
  static PoolPtr<Localizer> fromBytes(const uint8_t* bytes, size_t count);

  // The text in the current language; empty when it has none.
  std::u16string_view text(int32_t id);
  // The text in English (or the first language when there is no English).
  std::u16string_view englishText(int32_t id);

  void selectLanguage(std::u16string_view name);
  void selectLanguageAt(size_t index);
  LangPack* currentLanguage();
  const std::vector<PoolPtr<LangPack>>& languages() const { return languages_; }
  // The first language whose English name matches, with the Chinese, Portuguese and
  // Serbian variants standing in for each other; null when none does.
  LangPack* find(std::u16string_view name) const;

  void addListener(gui::events::IEventListener* listener) { listeners_.push_back(listener); }
  void removeListener(gui::events::IEventListener* listener);

  std::u16string_view className() const override { return u"s_lang_Localizer"; }

 private:
  void load(const uint8_t* bytes, size_t count);
  LangPack* byEngName(std::u16string_view name) const;
  void makeCurrent(LangPack* language);
  void chooseIfNone();

  std::vector<PoolPtr<LangPack>> languages_;
  // One of languages_.
  LangPack* current_ = nullptr;
  std::vector<gui::events::IEventListener*> listeners_;
};

}  // namespace s::lang
