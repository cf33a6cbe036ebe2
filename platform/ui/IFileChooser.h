#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace s::platform::ui {

// A dialog that lets the user pick a file to open or a place to save one.
struct FileChooserRequest {
  enum class Mode : uint8_t { kOpen, kSave };
  struct Filter {
    std::string name;
    std::vector<std::string> globs;  // "*.htm"
  };
  Mode mode = Mode::kOpen;
  std::string parentWindow;   // "x11:" and the window's id in hex, or empty
  std::string title;          // empty: the dialog's own
  std::string initialFolder;  // empty: the dialog's own choice
  std::string fileName;       // the suggested name in save mode
  std::vector<Filter> filters;
};

struct FileChoice {
  enum class Outcome : uint8_t {
    kChosen,
    kCancelled,
    kUnavailable,  // this kind of dialog cannot be shown here
  };
  Outcome outcome = Outcome::kUnavailable;
  std::string path;  // when chosen
};

// Shows the dialog and waits for the user, so it is called on a thread that may wait; an
// `abandon` set by another thread ends the wait as a cancel. In save mode the dialog asks
// before an existing file is replaced.
class IFileChooser {
 public:
  virtual ~IFileChooser() = default;
  virtual FileChoice choose(const FileChooserRequest& request,
                            const std::atomic<bool>& abandon) = 0;
};

// The first chooser, and the second where the first is unavailable.
class FallbackFileChooser final : public IFileChooser {
 public:
  FallbackFileChooser(IFileChooser& first, IFileChooser& second) : first_(first), second_(second) {}
  FileChoice choose(const FileChooserRequest& request, const std::atomic<bool>& abandon) override {
    FileChoice choice = first_.choose(request, abandon);
    return choice.outcome == FileChoice::Outcome::kUnavailable ? second_.choose(request, abandon)
                                                               : choice;
  }

 private:
  IFileChooser& first_;
  IFileChooser& second_;
};

}  // namespace s::platform::ui
