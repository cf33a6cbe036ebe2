#include "app/LogSaver.h"

#include <utility>

#include "app/LogFileName.h"
#include "app/LogSaveFolder.h"
#include "framework/file/NativePath.h"
#include "framework/time/Time.h"

namespace s::app {

namespace {

constexpr int32_t kSaveLogButtonText = 2100000;
constexpr int32_t kLogFileFilterText = 2101000;
constexpr std::string_view kLogFilePattern = "*.htm;";

// The button's text without the blanks that pad it on the button.
std::string dialogTitle(lang::Localizer* localizer) {
  std::string text = localizer != nullptr ? file::toNative(localizer->text(kSaveLogButtonText))
                                          : std::string("Save Log...");
  size_t first = text.find_first_not_of(' ');
  size_t last = text.find_last_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

}  // namespace

LogSaver::LogSaver(platform::ui::IFileChooser& chooser, settings::IMappedData& settings,
                   lang::Localizer* localizer, WriteLog writeLog)
    : chooser_(chooser),
      settings_(settings),
      localizer_(localizer),
      writeLog_(std::move(writeLog)) {}

bool LogSaver::saveLogAsHtml(platform::ui::IUiExecutor& window, std::string parentWindow,
                             Finished finished) {
  if (opener_ && opener_->isShowing()) {
    return false;
  }
  opener_ = std::make_unique<gui::FileOpener>(chooser_);
  opener_->setSaveMode();
  opener_->setTitle(dialogTitle(localizer_));
  opener_->addFilter(localizer_ != nullptr ? file::toNative(localizer_->text(kLogFileFilterText))
                                           : std::string("Log File (HTML) (*.htm)"),
                     kLogFilePattern);
  opener_->setInitialFolder(file::toNative(logSaveInitialFolder(settings_)));
  opener_->setFileName(file::toNative(defaultLogFileName(*time::Time::nowLocal())));
  opener_->setParentWindow(std::move(parentWindow));
  return opener_->show(
      window, [this, finished = std::move(finished)](const gui::FileOpener::Choice& choice) {
        chosen(choice, finished);
      });
}

void LogSaver::chosen(const gui::FileOpener::Choice& choice, const Finished& finished) {
  Outcome outcome = Outcome::kNoDialog;
  if (choice.outcome == gui::FileOpener::Choice::Outcome::kCancelled) {
    outcome = Outcome::kCancelled;
  } else if (choice.outcome == gui::FileOpener::Choice::Outcome::kChosen) {
    // The folder is kept even when the page then cannot be written.
    storeLogSaveFolder(settings_, file::fromNative(choice.path));
    outcome = writeLog_(choice.path) ? Outcome::kWritten : Outcome::kNotWritten;
  }
  if (finished) {
    finished(outcome, choice.path);
  }
}

}  // namespace s::app
