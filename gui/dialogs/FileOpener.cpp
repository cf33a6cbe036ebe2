#include "gui/dialogs/FileOpener.h"

#include <atomic>
#include <thread>

namespace s::gui {

// What the dialog's thread shares with the opener; it outlives the opener when the user is
// still choosing.
struct FileOpener::Dialog {
  std::atomic<bool> abandoned{false};
  std::atomic<bool> finished{false};
};

FileOpener::FileOpener(platform::ui::IFileChooser& chooser) : chooser_(chooser) {}

FileOpener::~FileOpener() {
  if (open_) {
    open_->abandoned = true;
  }
}

void FileOpener::addFilter(std::string name, std::string_view pattern) {
  platform::ui::FileChooserRequest::Filter filter{std::move(name), {}};
  while (!pattern.empty()) {
    size_t end = pattern.find(';');
    std::string_view glob = pattern.substr(0, end);
    if (!glob.empty()) {
      filter.globs.emplace_back(glob);
    }
    pattern.remove_prefix(end == std::string_view::npos ? pattern.size() : end + 1);
  }
  request_.filters.push_back(std::move(filter));
}

bool FileOpener::isShowing() const {
  return open_ && !open_->finished;
}

bool FileOpener::show(platform::ui::IUiExecutor& window, Done done) {
  if (isShowing()) {
    return false;
  }
  open_ = std::make_shared<Dialog>();
  // The thread holds copies and the shared block only: the opener may go while it waits.
  std::thread([dialog = open_, &chooser = chooser_, request = request_, &window,
               done = std::move(done)] {
    Choice choice = chooser.choose(request, dialog->abandoned);
    if (!dialog->abandoned) {
      // Runs on the window's thread, where the opener is destroyed too, so the test cannot
      // pass a dead opener's outcome on.
      window.runSync([&] {
        dialog->finished = true;
        if (!dialog->abandoned) {
          done(choice);
        }
      });
    }
    dialog->finished = true;
  }).detach();
  return true;
}

}  // namespace s::gui
