#include "app/LogSaveFolder.h"

#include "framework/base/Pooled.h"
#include "framework/file/PathWin.h"

namespace s::app {

std::u16string logSaveInitialFolder(settings::IMappedData& settings) {
  PoolPtr<file::PathWin> data(file::PathWin::dataFolder());
  PoolPtr<file::PathWin> defaultFolder(file::PathWin::of(data->full(), u"log"));
  if (!defaultFolder->isDirectory()) {
    defaultFolder->createFolder();
  }
  std::u16string folder(settings.getString(kLogSaveDir, kLogSaveFolderKey, defaultFolder->full()));
  if (folder.size() <= 3) {
    folder.clear();
  }
  return folder;
}

void storeLogSaveFolder(settings::IMappedData& settings, std::u16string_view chosenPath) {
  PoolPtr<file::PathWin> chosen(file::PathWin::of(chosenPath));
  PoolPtr<str::StrBuffer> folder(chosen->folderPath());
  settings.setString(kLogSaveDir, kLogSaveFolderKey, folder->view());
}

}  // namespace s::app
