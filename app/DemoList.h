#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "framework/base/Pooled.h"
#include "framework/lang/Localizer.h"
#include "gui/listbox2/ListBoxEx.h"

namespace s::app {

// The toolkit demo's list: the monitor's current-connection columns over made-up rows whose
// programs, hosts and names mix Latin, Arabic and Japanese, with the icons of programs found
// on this computer. Unless still, a thread of its own changes every row's byte counts once a
// second, as the refresh cycle does, in one update.
class DemoList {
 public:
  DemoList(uint32_t rows, bool still);
  ~DemoList();
  DemoList(const DemoList&) = delete;
  DemoList& operator=(const DemoList&) = delete;

  // The panel to put in the window; the window owns it from then on.
  gui::win::ListBoxEx* panel() const { return panel_; }
  // Starts the changes (after the window is shown); stopped when the demo list goes.
  void start();
  void stop();
  // What a busy refresh cycle does: a new received count in every row and the durations'
  // texts remade; in one update, or each change on its own. On a thread of the caller's.
  void changeReceived(uint64_t pass, bool inOneUpdate);

 private:
  void refresh();

  PoolPtr<lang::Localizer> localizer_;
  gui::win::ListBoxEx* panel_ = nullptr;
  uint32_t rows_;
  bool still_;
  std::vector<gui::listbox2::Record*> records_;
  std::vector<uint32_t> stamps_;
  std::atomic<bool> stopping_{false};
  std::thread refresher_;
};

}  // namespace s::app
