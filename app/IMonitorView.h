#pragma once

#include <cstdint>
#include <string_view>

#include "gui/listbox2/IListBox2.h"
#include "platform/ui/IUiExecutor.h"

namespace s::app {

// What the refresh cycle shows its results through: the main window, or the console view.
// Every call comes from the refresh thread. The lists carry their own operations to the view's
// thread; the other calls are shown before they return. runSync carries the cycle's own work to
// the view's thread (at once when called there), so that a log change and an export on that
// thread never overlap.
class IMonitorView : public platform::ui::IUiExecutor {
 public:
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
};

}  // namespace s::app
