#include "framework/lang/Localizer.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "framework/lang/EmbeddedPack.h"
#include "framework/lang/UserLanguage.h"
#include "framework/xml/Names.h"
#include "framework/xml/Node.h"

namespace s::lang {

namespace {

bool startsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && xml::sameName(text.substr(0, prefix.size()), prefix);
}

// A numeric id starts with a digit and is read as the C runtime reads a decimal number.
bool numericId(std::u16string_view id, int32_t& value) {
  if (id.empty() || id[0] < u'0' || id[0] > u'9') {
    return false;
  }
  std::string ascii;
  for (char16_t c : id) {
    ascii += c < 0x80 ? static_cast<char>(c) : '\x7f';
  }
  value = static_cast<int32_t>(std::strtol(ascii.c_str(), nullptr, 10));
  return true;
}

}  // namespace

void Localizer::reset() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  languages_.clear();
  current_ = nullptr;
  listeners_.clear();
}

PoolPtr<Localizer> Localizer::fromResource(std::u16string_view resourceName, int32_t resourceId) {
  if (resourceName == u"IDR_XML" && resourceId == 130) {
    std::span<const uint8_t> pack = embeddedPack();
    return fromBytes(pack.data(), pack.size());
  }
  return make();
}

PoolPtr<Localizer> Localizer::fromBytes(const uint8_t* bytes, size_t count) {
  PoolPtr<Localizer> localizer = make();
  localizer->load(bytes, count);
  localizer->selectLanguage(userLanguageName());
  return localizer;
}

void Localizer::load(const uint8_t* bytes, size_t count) {
  PoolPtr<xml::Node> root = xml::Node::make();
  root->parseBytes(bytes, count);

  const xml::Node* list = root->childNamed(u"languages");
  for (uint32_t i = 0; list != nullptr && i < list->childCount(); ++i) {
    const xml::Node* entry = list->child(i);
    if (!entry->nameIs(u"entry")) {
      continue;
    }
    std::u16string tag, engName, trueName;
    entry->getString(tag, u"tagName", u"");
    entry->getString(engName, u"engName", u"");
    entry->getString(trueName, u"trueName", u"");
    PoolPtr<LangPack> language = LangPack::make();
    language->setNames(tag, engName, trueName);
    languages_.push_back(std::move(language));
  }

  const xml::Node* entries = root->childNamed(u"entries");
  std::vector<bool> received(languages_.size());
  std::u16string text;
  std::u16string fallback;
  for (uint32_t i = 0; entries != nullptr && i < entries->childCount(); ++i) {
    const xml::Node* entry = entries->child(i);
    if (!entry->nameIs(u"entry")) {
      continue;
    }
    std::u16string_view id = entry->rawValue(u"id", u"");
    int32_t number = 0;
    bool numeric = numericId(id, number);
    std::fill(received.begin(), received.end(), false);
    fallback.clear();
    for (uint32_t c = 0; c < entry->childCount(); ++c) {
      const xml::Node* translation = entry->child(c);
      translation->getString(text, u"", u"");
      if (c == 0) {
        fallback = text;
      }
      for (size_t l = 0; l < languages_.size(); ++l) {
        if (!translation->nameIs(languages_[l]->tag())) {
          continue;
        }
        numeric ? languages_[l]->addText(number, text) : languages_[l]->addKeyText(id, text);
        received[l] = true;
      }
    }
    // A missing translation shows the first one.
    for (size_t l = 0; l < languages_.size(); ++l) {
      if (received[l]) {
        continue;
      }
      LangPack* language = languages_[l].get();
      if (numeric && !language->hasId(number)) {
        language->addText(number, fallback);
      } else if (!numeric && !language->hasKey(id)) {
        language->addKeyText(id, fallback);
      }
    }
  }
}

LangPack* Localizer::byEngName(std::u16string_view name) const {
  for (const PoolPtr<LangPack>& language : languages_) {
    if (xml::sameName(language->engName(), name)) {
      return language.get();
    }
  }
  return nullptr;
}

LangPack* Localizer::find(std::u16string_view name) const {
  if (LangPack* language = byEngName(name)) {
    return language;
  }
  struct Family {
    std::u16string_view prefix, first, second;
  };
  static constexpr Family kFamilies[] = {
      {u"Chinese", u"CHINESE_SIMPLIFIED", u"CHINESE_TRADITIONAL"},
      {u"Portuguese", u"PORTUGUESE_BRAZILIAN", u"PORTUGUESE_PORTUGAL"},
      {u"Serbian", u"SERBIAN_CYRILLIC", u"SERBIAN_LATIN"},
  };
  for (const Family& family : kFamilies) {
    if (startsWithIgnoringCase(name, family.prefix)) {
      LangPack* language = byEngName(family.first);
      return language != nullptr ? language : byEngName(family.second);
    }
  }
  return nullptr;
}

void Localizer::chooseIfNone() {
  if (current_ == nullptr && !languages_.empty()) {
    LangPack* chosen = find(userLanguageName());
    current_ = chosen != nullptr ? chosen : languages_.front().get();
  }
}

void Localizer::makeCurrent(LangPack* language) {
  if (language == current_) {
    return;
  }
  current_ = language;
  // Those a listener removes while the others are told are not told any more; those it adds
  // are told from the next change on.
  const std::vector<gui::events::IEventListener*> listeners = listeners_;
  for (gui::events::IEventListener* listener : listeners) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
      listener->onEvent(this, 0);
    }
  }
}

void Localizer::selectLanguage(std::u16string_view name) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  chooseIfNone();
  if (current_ == nullptr || xml::sameName(current_.load()->engName(), name)) {
    return;
  }
  LangPack* candidate = find(name);
  if (candidate == nullptr) {
    candidate = find(u"English");
  }
  makeCurrent(candidate != nullptr ? candidate : languages_.front().get());
}

void Localizer::selectLanguageAt(size_t index) {
  if (index < languages_.size()) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    chooseIfNone();
    makeCurrent(languages_[index].get());
  }
}

LangPack* Localizer::currentLanguage() {
  if (LangPack* language = current_.load()) {
    return language;
  }
  std::lock_guard<std::recursive_mutex> hold(lock_);
  chooseIfNone();
  return current_;
}

std::u16string_view Localizer::text(int32_t id) {
  LangPack* language = currentLanguage();
  return language == nullptr ? std::u16string_view() : language->text(id);
}

std::u16string_view Localizer::englishText(int32_t id) {
  LangPack* english = byEngName(u"English");
  if (english == nullptr && !languages_.empty()) {
    english = languages_.front().get();
  }
  return english == nullptr ? std::u16string_view() : english->text(id);
}

void Localizer::addListener(gui::events::IEventListener* listener) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  listeners_.push_back(listener);
}

void Localizer::removeListener(gui::events::IEventListener* listener) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

}  // namespace s::lang
