#include "app/console/ConsoleView.h"

#include <errno.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>

#include "app/ConnectionColumns.h"
#include "app/LogExport.h"
#include "app/console/MonitorSettings.h"
#include "app/console/RefreshPeriods.h"
#include "app/console/ScreenText.h"
#include "app/console/TableText.h"
#include "app/console/TerminalText.h"
#include "framework/lang/TextIds.h"
#include "gui/listbox2/RowsText.h"
#include "network/ConnectionRecord.h"
#include "network/capture/CaptureLog.h"
#include "platform/linux/SocketRow.h"

namespace s::app::console {

namespace {

namespace ids = lang::text;

// A cycle's row changes arrive one carried operation at a time; one redraw follows them.
constexpr uint32_t kRedrawTimer = 1;
constexpr uint32_t kRedrawDelayMs = 40;

constexpr std::u16string_view kCollecting = u"Collecting Information..";
constexpr std::u16string_view kNoTraffic = u"0 B/s";
constexpr std::u16string_view kOwnersNotice =
    u"Sockets of other users' processes show \"-\" as their process: the helper "
    u"netvigil-rights names them for the members of the group netvigil (see the README).";
constexpr std::u16string_view kOutsideNotice =
    u"Sockets of processes outside this pid namespace show \"-\" as their process: the "
    u"kernel lists the sockets, but their processes cannot be seen from here.";
constexpr std::u16string_view kKernelCountsNotice =
    u"Without the capture right, TCP rows show the bytes the kernel counts for each "
    u"connection: payload only, without IP and TCP headers. UDP rows are not measured (\"-\").";

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// The signals the loop takes through its signalfd.
sigset_t loopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGWINCH}) {
    sigaddset(&signals, signal);
  }
  return signals;
}

struct TextBlock {
  ConsoleView* view;
  std::u16string* target;
  std::u16string_view text;
};

}  // namespace

ConsoleView::ConsoleView(NetvigilEx& controller, lang::Localizer* localizer,
                         settings::IMappedData& settings, ViewOptions options)
    : controller_(controller),
      localizer_(localizer),
      settings_(settings),
      options_(std::move(options)),
      current_(gui::win::ListBox2::take()),
      log_(gui::win::ListBox2::take()),
      connections_(kCollecting),
      received_(kNoTraffic),
      sent_(kNoTraffic) {
  addCurrentColumns(*current_, localizer_);
  addLogColumns(*log_, localizer_);
  current_->restoreColumnOrder(settings_, kCurrentColumnOrderDir);
  log_->restoreColumnOrder(settings_, kLogColumnOrderDir);
  current_->setExecutor(this);
  log_->setExecutor(this);
  periodPosition_ = periodPosition(controller_.refreshPeriodMs);
}

ConsoleView::~ConsoleView() {
  terminal_.close();
  current_->release();
  log_->release();
  if (signalFd_ >= 0) {
    loop_.unwatch(signalFd_);
    ::close(signalFd_);
  }
}

bool ConsoleView::open(std::string& error) {
  sigset_t signals = loopSignals();
  signalFd_ = signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
  if (!loop_.isOpen() || signalFd_ < 0 || !loop_.watch(signalFd_, [this] { handleSignals(); })) {
    error = "cannot make the console's event descriptors";
    return false;
  }
  if (options_.live && !terminal_.open(options_.in, options_.out)) {
    error = "cannot put the terminal into raw mode";
    return false;
  }
  if (options_.live) {
    loop_.watch(options_.in, [this] { handleInput(); });
  }
  return true;
}

int ConsoleView::run() {
  if (options_.live) {
    draw();
  }
  // Until the cycle has ended (refreshEnded() quits the loop).
  while (loop_.dispatch(*this, -1)) {
  }
  // A cycle that ended by itself still leaves the way it should; a printout it never
  // reached is a failure.
  leave(status_);
  if (!options_.live && cyclesShown_ < options_.cycles && status_ == 0) {
    writeAll(2, "netvigil: the refresh cycle ended before the printout\n");
    status_ = 1;
  }
  loop_.close();
  terminal_.close();
  if (!options_.live && !notice_.empty()) {
    // Line by line: a line break is a control character to shown().
    std::string text;
    std::u16string_view notice = notice_;
    for (size_t start = 0; start <= notice.size();) {
      size_t end = std::min(notice.find(u'\n', start), notice.size());
      text += "netvigil: " + shown(notice.substr(start, end - start)) + "\n";
      start = end + 1;
    }
    writeAll(2, text);
  }
  return status_;
}

void ConsoleView::refreshEnded() {
  loop_.quit();
}

bool ConsoleView::runSync(Operation op, void* block) {
  if (!loop_.runSync(op, block)) {
    op(block);
  }
  return true;
}

void ConsoleView::onPlatformEvent(const platform::ui::Event& event) {
  if (event.kind == platform::ui::EventKind::kTimer && event.id == kRedrawTimer) {
    // One redraw for each time one was asked for.
    loop_.killTimer(kRedrawTimer);
    redrawScheduled_ = false;
    draw();
  }
}

void ConsoleView::setText(std::u16string& target, std::u16string_view text) {
  TextBlock block{this, &target, text};
  runSync(
      [](void* data) {
        auto* b = static_cast<TextBlock*>(data);
        b->target->assign(b->text);
        b->view->scheduleRedraw();
      },
      &block);
}

void ConsoleView::setConnectionsText(std::u16string_view text) {
  setText(connections_, text);
}

void ConsoleView::setReceivedRateText(std::u16string_view text) {
  setText(received_, text);
}

void ConsoleView::setSentRateText(std::u16string_view text) {
  setText(sent_, text);
  runSync([](void* view) { static_cast<ConsoleView*>(view)->cycleShown(); }, this);
}

// The graph has no place on a terminal line; the rates say it in figures.
void ConsoleView::addTrafficSample(int64_t /*receivedAndSent*/, int64_t /*sent*/) {}

void ConsoleView::cycleShown() {
  ++cyclesShown_;
  noticeOnce();
  if (!options_.live && cyclesShown_ == options_.cycles) {
    printOut();
    leave(0);
  }
}

void ConsoleView::noticeOnce() {
  auto add = [this](std::u16string_view text) {
    if (!notice_.empty()) {
      notice_ += u"\n";
    }
    notice_ += text;
    scheduleRedraw();
  };
  if (!captureNoticed_ && system::network::win::rawAccessAdded()) {
    captureNoticed_ = true;
    add(localizer_->text(ids::kRawAccessAdvice));
  }
  // What the rows show: each notice once, when a row it explains is there.
  for (uint32_t row = 0; !(kernelCountsNoticed_ && ownersNoticed_ && outsideNoticed_) &&
                         row < current_->recordCount();
       ++row) {
    auto* connection =
        dynamic_cast<system::network::ConnectionRecord*>(current_->getRecord(row)->userData());
    if (connection == nullptr) {
      continue;
    }
    if (!kernelCountsNoticed_ && connection->hasKernelTotals()) {
      kernelCountsNoticed_ = true;
      add(kKernelCountsNotice);
    }
    if (!ownersNoticed_ && connection->getPid() == platform::kOwnerUnseen) {
      ownersNoticed_ = true;
      add(kOwnersNotice);
    }
    if (!outsideNoticed_ && connection->getPid() == platform::kOwnerOutside) {
      outsideNoticed_ = true;
      add(kOutsideNotice);
    }
  }
}

void ConsoleView::handleSignals() {
  signalfd_siginfo info{};
  while (::read(signalFd_, &info, sizeof(info)) == static_cast<ssize_t>(sizeof(info))) {
    if (info.ssi_signo == SIGWINCH) {
      draw();
    } else {
      leave(128 + static_cast<int>(info.ssi_signo));
    }
  }
}

void ConsoleView::handleInput() {
  char bytes[256];
  ssize_t got = ::read(options_.in, bytes, sizeof(bytes));
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
    return;
  }
  if (got <= 0) {
    // Readable yet nothing to read: the terminal has hung up.
    leave(128 + SIGHUP);
    return;
  }
  commands_.clear();
  keys_.feed(std::string_view(bytes, static_cast<size_t>(got)), commands_);
  for (Command command : commands_) {
    if (leaving_) {
      break;
    }
    apply(command);
  }
  if (!commands_.empty()) {
    draw();
  }
}

void ConsoleView::apply(Command command) {
  // The first key after a notice puts the key help back.
  notice_.clear();
  switch (command) {
    case Command::kSwitchView:
      switchView();
      break;
    case Command::kSortNext:
      sortNext(1);
      break;
    case Command::kSortPrevious:
      sortNext(-1);
      break;
    case Command::kFaster:
      stepPeriod(-1);
      break;
    case Command::kSlower:
      stepPeriod(1);
      break;
    case Command::kClearLog:
      controller_.clearLogRequested = true;
      break;
    case Command::kSuspendLogging:
      controller_.loggingSuspended = !controller_.loggingSuspended;
      settings_.setBool(kViewDir, kSuspendLoggingKey, controller_.loggingSuspended);
      settingsChanged_ = true;
      break;
    case Command::kHostNames:
      controller_.showHostNames = !controller_.showHostNames;
      settings_.setBool(kViewDir, kHostNamesKey, controller_.showHostNames);
      settingsChanged_ = true;
      break;
    case Command::kQuit:
      leave(0);
      break;
    default:
      scroll(command);
      break;
  }
}

void ConsoleView::switchView() {
  logShown_ = !logShown_;
  if (logShown_) {
    // The log is sorted only while it is shown: it catches up now.
    std::scoped_lock guard(controller_.listLock);
    log_->sort();
  }
}

void ConsoleView::sortNext(int step) {
  gui::win::ListBox2& list = logShown_ ? *log_ : *current_;
  const col::ArrayS32& order = list.getColumnOrder();
  const col::ArrayU32& keys = list.list().sortKeys();
  int64_t count = order.count();
  if (count == 0) {
    return;
  }
  int64_t position = 0;
  for (int64_t i = 0; i < count; ++i) {
    if (keys.count() > 0 &&
        static_cast<uint32_t>(order.at(static_cast<uint32_t>(i))) == keys.at(0)) {
      position = i;
    }
  }
  auto column =
      static_cast<uint32_t>(order.at(static_cast<uint32_t>((position + step + count) % count)));
  std::unique_lock<thread::ObjLocker> guard(controller_.listLock, std::defer_lock);
  if (logShown_) {
    guard.lock();
  }
  list.sortByColumn(column);
  list.sort();
}

void ConsoleView::stepPeriod(int step) {
  int64_t position = std::clamp<int64_t>(static_cast<int64_t>(periodPosition_) + step, 0,
                                         static_cast<int64_t>(kRefreshPeriods.size()) - 1);
  if (position == periodPosition_) {
    return;
  }
  periodPosition_ = static_cast<uint32_t>(position);
  uint32_t ms = kRefreshPeriods[periodPosition_].ms;
  controller_.refreshPeriodMs = ms;
  controller_.wakeRequested = true;
  settings_.setS32(kViewDir, kRefreshFrequencyKey, static_cast<int32_t>(ms));
  settingsChanged_ = true;
}

void ConsoleView::scroll(Command command) {
  uint32_t page = std::max<uint32_t>(tableRows(height_), 1);
  uint32_t& first = firstRow();
  switch (command) {
    case Command::kUp:
      first = first > 0 ? first - 1 : 0;
      break;
    case Command::kDown:
      ++first;
      break;
    case Command::kPageUp:
      first = first > page ? first - page : 0;
      break;
    case Command::kPageDown:
      first += page;
      break;
    case Command::kHome:
      first = 0;
      break;
    case Command::kEnd:
      first = UINT32_MAX;
      break;
    default:
      break;
  }
}

void ConsoleView::leave(int status) {
  if (leaving_) {
    return;
  }
  leaving_ = true;
  status_ = status;
  // Keys are no longer read on the way out (nor a hung-up terminal's endless readiness).
  if (options_.live) {
    loop_.unwatch(options_.in);
  }
  if (!options_.saveLogPath.empty()) {
    std::scoped_lock guard(controller_.listLock);
    if (!writeLogHtml(*log_, localizer_, options_.saveLogPath)) {
      writeAll(2, "netvigil: cannot write the log to " + options_.saveLogPath + "\n");
      status_ = status_ == 0 ? 1 : status_;
    }
  }
  controller_.requestStop();
}

void ConsoleView::printOut() {
  std::string text;
  if (options_.tsv) {
    // The lines a list copies to the clipboard.
    for (uint32_t row = 0; row < current_->recordCount(); ++row) {
      gui::listbox2::appendTabSeparated(text, *current_->getRecord(row),
                                        current_->getColumnOrder());
    }
  } else {
    TableText table = tableText(*current_, 0, 0, current_->recordCount());
    text = table.header + "\n";
    for (const std::string& row : table.rows) {
      text += row + "\n";
    }
    std::u16string status =
        connections_ + u"   " + std::u16string(localizer_->text(ids::kStatusReceived)) + u" " +
        received_ + u"   " + std::u16string(localizer_->text(ids::kStatusSent)) + u" " + sent_;
    text += "\n" + shown(status) + "\n";
  }
  if (!writeAll(options_.out, text)) {
    status_ = 1;
  }
}

void ConsoleView::scheduleRedraw() {
  if (!options_.live || redrawScheduled_) {
    return;
  }
  loop_.setTimer(kRedrawTimer, kRedrawDelayMs);
  redrawScheduled_ = true;
}

std::u16string ConsoleView::settingsText() {
  std::u16string text(localizer_->text(ids::kMenuRefreshFrequency));
  text += u": ";
  text += localizer_->text(kRefreshPeriods[periodPosition_].textId);
  text += u"   ";
  text += localizer_->text(ids::kMenuKeepLogs);
  text += u": ";
  for (char c : std::to_string(controller_.logLimit.load())) {
    text += static_cast<char16_t>(c);
  }
  if (controller_.loggingSuspended) {
    text += u"   ";
    text += localizer_->text(ids::kMenuSuspendLogging);
  }
  if (controller_.showHostNames) {
    text += u"   ";
    text += localizer_->text(ids::kMenuHostNames);
  }
  return text;
}

void ConsoleView::draw() {
  if (!terminal_.isOpen()) {
    return;
  }
  terminal_.size(width_, height_);
  std::u16string settings = settingsText();
  ScreenState state;
  state.width = width_;
  state.height = height_;
  state.currentTab = localizer_->text(ids::kTabCurrent);
  state.logTab = localizer_->text(ids::kTabLog);
  state.logShown = logShown_;
  state.settings = settings;
  state.connections = connections_;
  state.receivedLabel = localizer_->text(ids::kStatusReceived);
  state.received = received_;
  state.sentLabel = localizer_->text(ids::kStatusSent);
  state.sent = sent_;
  state.notice = notice_;
  if (!terminal_.draw(screenLines(logShown_ ? *log_ : *current_, state, firstRow()))) {
    // The terminal has gone: the program goes too, in good order.
    leave(128 + SIGHUP);
  }
}

}  // namespace s::app::console
