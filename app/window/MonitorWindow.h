#pragma once

#include <cstdint>
#include <string_view>

#include "app/IMonitorView.h"
#include "app/NetvigilEx.h"
#include "framework/base/IEventListener.h"
#include "framework/base/Pooled.h"
#include "gui/layout/Window.h"
#include "gui/listbox2/ListBoxEx.h"
#include "gui/widgets/Counter.h"
#include "gui/widgets/Label.h"
#include "gui/widgets/StatusBar.h"

namespace s::settings {
class IMappedData;
}

namespace s::app::window {

// The monitor in its application window "MainWindow": the current list above the status bar
// (the connections, the received and sent rates, the traffic graph). It is the view the
// refresh cycle publishes to; the lists carry their operations to the window's thread.
//
// Closing the window (its close button iconizes it; closing an iconized window, "Exit", an end
// signal or a lost display close it) asks the cycle to stop and writes both column orders;
// the window itself writes its place.
class MonitorWindow final : public IMonitorView, public gui::events::IEventListener {
 public:
  // Not owned: the controller, the window's settings (the application window) and the store.
  MonitorWindow(NetvigilEx& controller, app::IAppWindow& appWindow,
                settings::IMappedData& settings);
  ~MonitorWindow() override;
  MonitorWindow(const MonitorWindow&) = delete;
  MonitorWindow& operator=(const MonitorWindow&) = delete;

  // Makes the window on the program's display; false when none can be made.
  bool build();
  // Shows it, in front, or iconized to the tray (minimized where no tray runs).
  void show(bool iconized);
  // Another start asked this one to show itself. Any thread.
  void showRequested() { window_->showRequested(); }
  // What "Exit" does. Any thread.
  void close() { window_->close(); }
  bool isClosed() const { return window_->isClosed(); }
  gui::win::Window& window() { return *window_; }

  gui::IListBox2& currentList() override;
  gui::IListBox2& logList() override;
  bool isLogVisible() override { return false; }
  bool isIconized() override { return window_->isIconized() || window_->isIconic(); }
  void setConnectionsText(std::u16string_view text) override;
  void setReceivedRateText(std::u16string_view text) override;
  void setSentRateText(std::u16string_view text) override;
  void addTrafficSample(int64_t receivedAndSent, int64_t sent) override;
  using IMonitorView::runSync;
  bool runSync(Operation op, void* block) override;

  // The window's closing.
  void onEvent(IObject* source, std::int32_t code) override;

 private:
  gui::win::StatusBar* buildStatusBar();

  NetvigilEx& controller_;
  app::IAppWindow& appWindow_;
  settings::IMappedData& settings_;
  PoolPtr<gui::win::Window> window_;
  // Owned by the window's tree once added.
  gui::win::ListBoxEx* current_ = nullptr;
  // Not on screen yet; its operations go to the window's thread all the same.
  PoolPtr<gui::win::ListBox2> log_;
  gui::win::Label* connections_ = nullptr;
  gui::win::Label* received_ = nullptr;
  gui::win::Label* sent_ = nullptr;
  gui::win::Counter* graph_ = nullptr;
};

}  // namespace s::app::window
