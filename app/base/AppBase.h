#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "app/base/CommandLine.h"
#include "framework/base/Pooled.h"
#include "framework/file/PathWin.h"
#include "framework/lang/Localizer.h"
#include "framework/settings/MappedData.h"
#include "gui/app/AppWindow.h"
#include "gui/drawer/Skinner.h"
#include "platform/ui/ITrayIcon.h"

namespace s::app::win {

struct AppBaseOptions {
  // The skins the program offers (a "ThinWindow" skinner, not owned); none for the console.
  gui::drawer::Skinner* skins = nullptr;
  // Opens the program's page on the first start of a new release; none: not opened.
  std::function<void(std::u16string_view address)> openAddress;
};

// What the program holds for its whole run: its text ids, command line, program file, the
// resources compiled into it (the language pack, the icon, the skin pictures) and the
// settings store, with the values start-up reads and writes.
class AppBase final : public Pooled<AppBase, PoolableObject> {
 public:
  static constexpr int32_t kTextIdBase = 500000;
  static constexpr std::u16string_view kMainWindow = u"MainWindow";
  static constexpr std::u16string_view kDefaultSkin = u"Black";

  AppBase() = default;
  ~AppBase() override { reset(); }
  AppBase(const AppBase&) = delete;
  AppBase& operator=(const AppBase&) = delete;

  // Start-up: the command line, the program file, the language pack and the settings file;
  // then, with the automatic saving off, the version bookkeeping, the language and the skin;
  // then the automatic saving on, and the start-up's values handed to it.
  void init(int argc, const char* const* argv, const AppBaseOptions& options);

  int32_t textIdBase() const { return textIdBase_; }
  const CommandLine& commandLine() const { return commandLine_; }
  // The running program's file (/proc/self/exe) and its folder.
  const file::PathWin& programFile() const { return *programFile_; }
  const file::PathWin& programFolder() const { return *programFolder_; }
  // The program's icon at a size, as PNG bytes; the skin pictures 131 and 132 as JPEG bytes.
  static std::span<const uint8_t> icon(int size);
  // The icon at a size as a window or the tray takes it (empty if it cannot be decoded).
  static platform::ui::IconPixels iconPixels(int size);
  static std::span<const uint8_t> skinPicture(int32_t resourceId);

  lang::Localizer& localizer() { return *localizer_; }
  xml::MappedData& settings() { return *settings_; }
  gui::drawer::Skinner* skins() const { return skins_; }
  // The skin start-up chose (an index of skins()), -1 without skins.
  int32_t skinIndex() const { return skinIndex_; }
  // What an application window takes from the program: the settings, the texts, the icon.
  AppWindow::Application windowApplication();
  // The running version's text (500010).
  std::u16string_view versionText() { return localizer_->text(textIdBase_ + 10); }

  // What start-up must tell the user once: the settings file was kept aside or refused.
  // Empty when there is nothing to tell.
  const std::u16string& notice() const { return notice_; }

  // The shut-down's save: writes the settings and waits. reset() does it when it was not done.
  bool saveSettings();
  void reset() override;

  std::u16string_view className() const override { return u"s_app_win_AppBase"; }

 private:
  int32_t textIdBase_ = 0;
  CommandLine commandLine_;
  PoolPtr<file::PathWin> programFile_;
  PoolPtr<file::PathWin> programFolder_;
  PoolPtr<lang::Localizer> localizer_;
  PoolPtr<xml::MappedData> settings_;
  gui::drawer::Skinner* skins_ = nullptr;
  int32_t skinIndex_ = -1;
  std::u16string notice_;
  bool saved_ = false;
};

// The notice of a settings store that did not load its file; empty when it did (or had none).
std::u16string settingsNotice(const xml::MappedData& settings);

}  // namespace s::app::win
