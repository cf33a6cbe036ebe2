#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "app/IMonitorView.h"
#include "app/NetvigilEx.h"
#include "app/console/KeyDecoder.h"
#include "app/console/TerminalSession.h"
#include "framework/lang/Localizer.h"
#include "framework/settings/IMappedData.h"
#include "gui/listbox2/ListBox2.h"
#include "platform/ui/EventLoop.h"

namespace s::app::console {

struct ViewOptions {
  // The live view on the terminal; else the printout after `cycles` cycles.
  bool live = true;
  uint32_t cycles = 3;
  bool tsv = false;
  // Where the log is saved as HTML when the program ends; none when empty.
  std::string saveLogPath;
  // The terminal; the printout goes to `out`.
  int in = 0;
  int out = 1;
};

// The monitor on a terminal. It is the view the refresh cycle publishes to and the executor
// of its two lists: every list operation of another thread is carried to the view's thread,
// the thread that made the view and runs its loop, and waits there.
//
// Its loop is the windows' user-interface loop: it carries the operations, watches the
// terminal's input and a signalfd for SIGINT, SIGTERM, SIGHUP and SIGWINCH (blocked beforehand
// in every thread), and a timer gathers the changes of a cycle into one redraw. On the way out
// (q, a signal, or the printout done) the log is saved, the cycle is asked to stop, and the
// loop goes on carrying operations until refreshEnded(): the cycle's last steps release its
// rows through the lists.
class ConsoleView final : public IMonitorView, public platform::ui::IEventSink {
 public:
  // `settings` takes the changes the keys make; none of the three is owned.
  ConsoleView(NetvigilEx& controller, lang::Localizer* localizer, settings::IMappedData& settings,
              ViewOptions options);
  ~ConsoleView() override;
  ConsoleView(const ConsoleView&) = delete;
  ConsoleView& operator=(const ConsoleView&) = delete;

  // The descriptors, and for the live view the terminal's modes; false with the reason.
  bool open(std::string& error);
  // The loop, until the cycle has ended after the way out. Gives the exit status: 0, 1 when
  // the log could not be saved, 128 + the signal's number after SIGINT or SIGTERM.
  int run();
  // Called on the refresh thread once the cycle has returned.
  void refreshEnded();
  // A key changed a setting.
  bool settingsChanged() const { return settingsChanged_; }

  gui::win::ListBox2& currentListBox() { return *current_; }
  gui::win::ListBox2& logListBox() { return *log_; }

  gui::IListBox2& currentList() override { return *current_; }
  gui::IListBox2& logList() override { return *log_; }
  bool isLogVisible() override { return logShown_; }
  bool isIconized() override { return false; }
  void setConnectionsText(std::u16string_view text) override;
  void setReceivedRateText(std::u16string_view text) override;
  // The last thing a cycle publishes: the view then redraws, looks for what it must tell
  // the user, and after the last cycle of the printout prints.
  void setSentRateText(std::u16string_view text) override;
  void addTrafficSample(int64_t receivedAndSent, int64_t sent) override;

  // Once the loop is over, operations run on the caller's thread: the view's thread touches
  // the lists no more.
  using IMonitorView::runSync;
  bool runSync(Operation op, void* block) override;

  // The redraw timer.
  void onPlatformEvent(const platform::ui::Event& event) override;

 private:
  void setText(std::u16string& target, std::u16string_view text);
  void handleSignals();
  void handleInput();
  void apply(Command command);
  void cycleShown();
  void noticeOnce();
  void sortNext(int step);
  void stepPeriod(int step);
  void switchView();
  void scroll(Command command);
  // The way out: saves the log and asks the cycle to stop. On the view's thread.
  void leave(int status);
  void printOut();
  void scheduleRedraw();
  void draw();
  std::u16string settingsText();
  uint32_t& firstRow() { return logShown_ ? logFirstRow_ : currentFirstRow_; }

  NetvigilEx& controller_;
  lang::Localizer* localizer_;
  settings::IMappedData& settings_;
  ViewOptions options_;
  gui::win::ListBox2* current_ = nullptr;
  gui::win::ListBox2* log_ = nullptr;

  platform::ui::EventLoop loop_;
  int signalFd_ = -1;
  std::atomic<bool> logShown_{false};

  // The view thread's own state from here.
  TerminalSession terminal_;
  KeyDecoder keys_;
  std::vector<Command> commands_;
  uint32_t width_ = 80;
  uint32_t height_ = 24;
  uint32_t currentFirstRow_ = 0;
  uint32_t logFirstRow_ = 0;
  uint32_t periodPosition_ = 0;
  uint32_t cyclesShown_ = 0;
  bool redrawScheduled_ = false;
  bool leaving_ = false;
  int status_ = 0;
  bool settingsChanged_ = false;
  bool captureNoticed_ = false;
  bool ownersNoticed_ = false;
  bool outsideNoticed_ = false;
  bool kernelCountsNoticed_ = false;
  std::u16string notice_;
  std::u16string connections_;
  std::u16string received_;
  std::u16string sent_;
};

}  // namespace s::app::console
