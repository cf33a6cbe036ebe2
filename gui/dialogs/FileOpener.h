#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/IFileChooser.h"
#include "platform/ui/IUiExecutor.h"

namespace s::gui {

// The toolkit's file dialog: open or save mode, filters, the initial folder and file name, and
// the chosen path. The dialog is another program's (the desktop portal) or one of ours on a
// window of its own, so it is shown without waiting: the outcome comes back later on the
// caller's window thread.
class FileOpener {
 public:
  using Choice = platform::ui::FileChoice;
  using Done = std::function<void(const Choice& choice)>;

  // The chooser outlives every dialog shown with it.
  explicit FileOpener(platform::ui::IFileChooser& chooser);
  // A dialog still open is abandoned (closed where the dialog allows it); its outcome is
  // dropped.
  ~FileOpener();
  FileOpener(const FileOpener&) = delete;
  FileOpener& operator=(const FileOpener&) = delete;

  void setSaveMode() { request_.mode = platform::ui::FileChooserRequest::Mode::kSave; }
  // `pattern` holds globs separated by ";", as "*.htm;".
  void addFilter(std::string name, std::string_view pattern);
  void setInitialFolder(std::string folder) { request_.initialFolder = std::move(folder); }
  void setFileName(std::string name) { request_.fileName = std::move(name); }
  void setTitle(std::string title) { request_.title = std::move(title); }
  // The window the dialog belongs to, as "x11:" and its id in hex.
  void setParentWindow(std::string window) { request_.parentWindow = std::move(window); }
  const platform::ui::FileChooserRequest& request() const { return request_; }

  // Shows the dialog and returns at once; `done` runs on `window`'s thread with the outcome,
  // unless this opener has gone by then. False, and nothing shown, while a dialog of this
  // opener is still open.
  bool show(platform::ui::IUiExecutor& window, Done done);
  bool isShowing() const;

 private:
  struct Dialog;

  platform::ui::IFileChooser& chooser_;
  platform::ui::FileChooserRequest request_;
  std::shared_ptr<Dialog> open_;
};

}  // namespace s::gui
