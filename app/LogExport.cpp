#include "app/LogExport.h"

#include "app/LogHtml.h"
#include "framework/file/NativePath.h"
#include "framework/file/PathWin.h"
#include "framework/str/TextLines.h"

namespace s::app {

bool writeLogHtml(gui::IListBox2& logList, lang::Localizer* localizer, std::string_view path) {
  if (path.empty() || path.back() == '/') {
    return false;
  }
  PoolPtr<file::PathWin> file(file::PathWin::of(file::fromNative(path)));
  if (!file->isWellFormed()) {
    return false;
  }
  PoolPtr<str::StrBuffer> title(file->title());
  PoolPtr<str::StrArray> lines = str::StrArray::make();
  composeLogHtml(logList, localizer, title->view(), *lines);
  // A page the user keeps: the usual mode, and a link the user chose is saved through.
  return file->writeAtomically(
      str::joinTextLines(*lines),
      {.mode = file::AtomicWrite::Mode::kUsual, .link = file::AtomicWrite::Link::kFollow});
}

}  // namespace s::app
