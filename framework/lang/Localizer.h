#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <vector>

#include "framework/base/IEventListener.h"
#include "framework/base/Pooled.h"
#include "framework/lang/LangPack.h"

namespace s::lang {

// Every text the program shows, by numeric id, in the chosen language. Listeners hear of
// every change of language (onEvent(localizer, 0)) and fetch their texts again.
//
// Several threads share one localizer (each window's own among them): texts may be read, the
// language chosen and listeners added or removed from any of them. Listeners are told on the
// thread that chose the language, under the localizer's lock, so once removeListener() has
// returned a listener is not told again; a listener must therefore not wait there for another
// thread (a window's listener hands the work to its own thread).
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

  void addListener(gui::events::IEventListener* listener);
  void removeListener(gui::events::IEventListener* listener);

  std::u16string_view className() const override { return u"s_lang_Localizer"; }

 private:
  void load(const uint8_t* bytes, size_t count);
  LangPack* byEngName(std::u16string_view name) const;
  void makeCurrent(LangPack* language);
  void chooseIfNone();

  // Fixed once loaded, and so read without the lock.
  std::vector<PoolPtr<LangPack>> languages_;
  // One of languages_.
  std::atomic<LangPack*> current_{nullptr};
  // Guards the choice of language and the listeners; a listener may add or remove listeners
  // while it is told.
  std::recursive_mutex lock_;
  std::vector<gui::events::IEventListener*> listeners_;
};

}  // namespace s::lang
