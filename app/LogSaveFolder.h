#pragma once

#include <string>
#include <string_view>

#include "framework/settings/IMappedData.h"

namespace s::app {

// Where the folder of the last saved log is kept, at the top level of the settings.
inline constexpr std::u16string_view kLogSaveDir = u"View\\Log";
inline constexpr std::u16string_view kLogSaveFolderKey = u"LastSaveFolderPath";

// The folder the log's save dialog opens in: the stored folder of the last saved log, by
// default the "log" folder of the program's data folder, which is made when missing. Empty
// when the text is 3 units or shorter (a bare root): the dialog then opens where it
// otherwise would.
std::u16string logSaveInitialFolder(settings::IMappedData& settings);

// Stores the folder of the path chosen in the save dialog, without a trailing "/".
void storeLogSaveFolder(settings::IMappedData& settings, std::u16string_view chosenPath);

}  // namespace s::app
