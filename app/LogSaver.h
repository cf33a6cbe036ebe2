#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/lang/Localizer.h"
#include "framework/settings/IMappedData.h"
#include "gui/dialogs/FileOpener.h"
#include "platform/ui/IFileChooser.h"
#include "platform/ui/IUiExecutor.h"

namespace s::app {

// The "Save Log..." button: asks where to save the log as an HTML page, then writes it there.
// The dialog opens in the folder of the last saved log (by default the "log" folder of the
// program's data folder) with the name "LOG-" YYMMDD "-" HH ".htm" of the moment of the press,
// and the filter "Log File (HTML) (*.htm)". The window's thread never waits for the user: the
// press returns at once and the page is written when the user has chosen.
class LogSaver {
 public:
  // Writes the log at `path` on the window's thread, under the log's lock; true when written.
  using WriteLog = std::function<bool(const std::string& path)>;
  // Told on the window's thread how a save ended.
  enum class Outcome : uint8_t { kWritten, kNotWritten, kCancelled, kNoDialog };
  using Finished = std::function<void(Outcome outcome, const std::string& path)>;

  // Neither the chooser, the settings nor the localizer is owned; all outlive the saver.
  LogSaver(platform::ui::IFileChooser& chooser, settings::IMappedData& settings,
           lang::Localizer* localizer, WriteLog writeLog);

  // On the window's thread. False, and nothing shown, while an earlier dialog is still open.
  bool saveLogAsHtml(platform::ui::IUiExecutor& window, std::string parentWindow,
                     Finished finished = {});

 private:
  void chosen(const gui::FileOpener::Choice& choice, const Finished& finished);

  platform::ui::IFileChooser& chooser_;
  settings::IMappedData& settings_;
  lang::Localizer* localizer_;
  WriteLog writeLog_;
  std::unique_ptr<gui::FileOpener> opener_;
};

}  // namespace s::app
