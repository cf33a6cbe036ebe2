#include "app/base/StartValues.h"

#include <string>

namespace s::app::win {

bool recordVersion(settings::IMappedData& settings, std::u16string_view running) {
  const std::u16string stored(settings.getString(kVersionDir, u"", u"0.00"));
  const size_t dot = running.rfind(u'.');
  const bool newRelease =
      stored != running && dot != std::u16string_view::npos && running.size() - dot - 1 == 2;
  settings.setString(kVersionDir, u"", running);
  return newRelease;
}

void chooseLanguage(lang::Localizer& localizer, settings::IMappedData& settings) {
  lang::LangPack* current = localizer.currentLanguage();
  if (current == nullptr) {
    return;
  }
  const std::u16string stored(settings.getString(kLanguageDir, u"", current->engName()));
  if (localizer.find(stored) != nullptr) {
    localizer.selectLanguage(stored);
  }
  lang::LangPack* selected = localizer.currentLanguage();
  if (selected->engName() != stored) {
    settings.setString(kLanguageDir, u"", selected->engName());
  }
}

int32_t chooseSkin(gui::drawer::Skinner& skins, settings::IMappedData& settings,
                   std::u16string_view windowName, std::u16string_view defaultSkin,
                   int32_t current) {
  if (skins.getSkinCount() == 0) {
    return -1;
  }
  const std::u16string dir = std::u16string(windowName) + u"\\" + std::u16string(kSkinDir);
  int32_t index = skins.findSkin(settings.getString(dir, u"", defaultSkin));
  if (index < 0) {
    index = 0;
  }
  if (index != current) {
    skins.select(static_cast<uint32_t>(index));
  }
  return index;
}

}  // namespace s::app::win
