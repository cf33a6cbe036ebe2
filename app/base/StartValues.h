#pragma once

#include <cstdint>
#include <string_view>

#include "framework/lang/Localizer.h"
#include "framework/settings/IMappedData.h"
#include "gui/drawer/Skinner.h"

namespace s::app::win {

// The values start-up reads and writes at the top of the settings, each under the empty key.
inline constexpr std::u16string_view kVersionDir = u"Version";
inline constexpr std::u16string_view kLanguageDir = u"Language";
// A window's skin: its settings section, then this.
inline constexpr std::u16string_view kSkinDir = u"Skin";

// Version bookkeeping: writes `running` as "Version" and answers whether this start is the
// first of a new release, on which the program's page opens: the stored version (default
// "0.00") differs and `running` has exactly two characters after its last ".".
bool recordVersion(settings::IMappedData& settings, std::u16string_view running);

// Selects the stored "Language" when the pack has it; otherwise the language chosen from the
// user's stays. Writes the selected language's English name when it differs from the stored
// text (nothing is stored while the user has not chosen: the user's language then follows
// the desktop's).
void chooseLanguage(lang::Localizer& localizer, settings::IMappedData& settings);

// The window's stored skin (windowName\Skin, default `defaultSkin`), or the first skin when
// the skinner has none of that name; selected when it is not `current`. Answers its index, -1
// for a skinner without skins.
int32_t chooseSkin(gui::drawer::Skinner& skins, settings::IMappedData& settings,
                   std::u16string_view windowName, std::u16string_view defaultSkin,
                   int32_t current);

}  // namespace s::app::win
