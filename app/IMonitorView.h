#pragma once

#include <cstdint>
#include <string_view>

#include "gui/listbox2/IListBox2.h"

namespace s::app {

// What the refresh cycle shows its results through: the main window, or the console view.
// Every call comes from the refresh thread. The lists carry their own operations to the view's
// thread; the other calls are shown before they return.
class IMonitorView {
 public:
  virtual ~IMonitorView() = default;

  virtual gui::IListBox2& currentList() = 0;
  virtual gui::IListBox2& logList() = 0;
  // The log page is on screen: the log is sorted only then.
  virtual bool isLogVisible() = 0;
  // Hidden to the notification area: long periods stretch while it is.
  virtual bool isIconized() = 0;

  virtual void setConnectionsText(std::u16string_view text) = 0;
  virtual void setReceivedRateText(std::u16string_view text) = 0;
  virtual void setSentRateText(std::u16string_view text) = 0;
  // One sample of the traffic graph: both directions together, and the sent bytes alone.
  virtual void addTrafficSample(int64_t receivedAndSent, int64_t sent) = 0;

  // Runs `operation` on the view's thread and returns when it has run (at once when called on
  // that thread), so that a log change and an export on that thread never overlap.
  virtual void runOnViewThread(void (*operation)(void* block), void* block) = 0;
};

}  // namespace s::app
