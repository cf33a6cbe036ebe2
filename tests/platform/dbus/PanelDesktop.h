#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/platform/dbus/SessionBus.h"
#include "tests/platform/x11/DesktopProcess.h"
#include "tests/platform/x11/XvfbServer.h"

namespace s::testing {

// A private desktop for one test: an X server, a session bus and a home folder of its own, and
// on demand a real panel (xfce4-panel, whose tray owns the StatusNotifierWatcher, registers as
// its host and manages the XEmbed system tray as well) or a real XEmbed-only tray (trayer).
class PanelDesktop {
 public:
  PanelDesktop() {
    char folder[] = "/tmp/netvigil-panel-XXXXXX";
    if (mkdtemp(folder) != nullptr) {
      home_ = folder;
    }
  }
  ~PanelDesktop() {
    panel_.reset();
    tray_.reset();
    if (!home_.empty()) {
      std::filesystem::remove_all(home_);
    }
  }
  PanelDesktop(const PanelDesktop&) = delete;
  PanelDesktop& operator=(const PanelDesktop&) = delete;

  bool ready() const { return !x_.name().empty() && !bus_.address().empty() && !home_.empty(); }
  const std::string& display() const { return x_.name(); }
  const std::string& busAddress() const { return bus_.address(); }

  bool startPanel() {
    panel_ = std::make_unique<DesktopProcess>(
        x_.name(), std::vector<std::string>{"xfce4-panel"},
        std::vector<std::string>{"DBUS_SESSION_BUS_ADDRESS=" + bus_.address(), "HOME=" + home_,
                                 "XDG_CONFIG_HOME=" + home_ + "/config",
                                 "XDG_CACHE_HOME=" + home_ + "/cache", "NO_AT_BRIDGE=1"});
    return panel_->running();
  }
  void stopPanel() { panel_.reset(); }
  // trayer along the top edge, 24 pixels tall, from the left.
  bool startTray() {
    tray_ = std::make_unique<DesktopProcess>(
        x_.name(),
        std::vector<std::string>{"trayer", "--edge", "top", "--align", "left", "--widthtype",
                                 "request", "--height", "24", "--SetDockType", "true",
                                 "--transparent", "false", "--tint", "0x404040"});
    return tray_->running();
  }
  void stopTray() { tray_.reset(); }

 private:
  XvfbServer x_;
  SessionBus bus_;
  std::string home_;
  std::unique_ptr<DesktopProcess> panel_;
  std::unique_ptr<DesktopProcess> tray_;
};

}  // namespace s::testing
