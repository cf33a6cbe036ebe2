#pragma once

#include <string_view>

#include "framework/lang/Localizer.h"
#include "gui/listbox2/IListBox2.h"

namespace s::app {

// Saves the log list as an HTML page at `path` (UTF-8), titled with the file's name without
// folder and extension: the folder is made when missing and a file of that name is replaced
// whole, never left half written. False when the file could not be written, or when `path`
// names no file (empty, or ending with "/").
//
// The caller holds the controller's listLock for the whole call and calls on the view's
// thread, where every change of the log list is made, so the rows cannot change under the
// read and neither thread waits for the other.
bool writeLogHtml(gui::IListBox2& logList, lang::Localizer* localizer, std::string_view path);

}  // namespace s::app
