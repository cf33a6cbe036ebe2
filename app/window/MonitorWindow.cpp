#include "app/window/MonitorWindow.h"

#include "app/ConnectionColumns.h"
#include "app/console/MonitorSettings.h"
#include "framework/lang/TextIds.h"
#include "gui/layout/Box.h"
#include "gui/layout/Spacer.h"
#include "gui/widgets/Font.h"

namespace s::app::window {

namespace {
constexpr std::int32_t kStatusHeight = 16;
constexpr std::int32_t kGraphWidth = 100;
constexpr std::int32_t kRateWidth = 65;
// The graph's scale never falls below this many bytes per second.
constexpr std::int64_t kGraphScaleFloor = 1024;
}  // namespace

MonitorWindow::MonitorWindow(NetvigilEx& controller, app::IAppWindow& appWindow,
                             settings::IMappedData& settings)
    : controller_(controller), appWindow_(appWindow), settings_(settings) {}

MonitorWindow::~MonitorWindow() {
  // The current list goes with the window's tree; the refresh cycle has ended before.
  window_.reset();
  log_.reset();
}

bool MonitorWindow::build() {
  window_ = gui::win::Window::make();
  if (!window_->isCreated()) {
    return false;
  }
  window_->applySettings(appWindow_, true);
  lang::Localizer* localizer = appWindow_.getLocalizer();
  window_->setLayoutVertical();
  current_ = gui::win::ListBoxEx::newListBoxEx(100, 100);
  log_ = gui::win::ListBox2::make();
  log_->setExecutor(window_.get());
  addCurrentColumns(*current_->getList(), localizer);
  addLogColumns(*log_, localizer);
  current_->getList()->restoreColumnOrder(settings_, console::kCurrentColumnOrderDir);
  log_->restoreColumnOrder(settings_, console::kLogColumnOrderDir);
  window_->add(current_);
  window_->add(buildStatusBar());
  window_->setCloseIconizes(true);
  window_->addCloseListener(this);
  return true;
}

namespace {

PoolPtr<gui::win::Spacer> gap(std::int32_t px) {
  PoolPtr<gui::win::Spacer> spacer = gui::win::Spacer::make();
  spacer->setFixedWidth(px);
  return spacer;
}

}  // namespace

gui::win::StatusBar* MonitorWindow::buildStatusBar() {
  constexpr std::int32_t kSmall = gui::win::Font::kSmallCode;
  gui::win::StatusBar* bar = gui::win::StatusBar::newStatusBar();
  bar->setFixedHeight(kStatusHeight, false);
  // The texts until the first cycle; not from the language pack.
  connections_ = gui::win::Label::newLabel(u"Collecting Information..", false, kSmall);
  received_ = gui::win::Label::newLabel(u"0 B/s", false, kSmall);
  sent_ = gui::win::Label::newLabel(u"0 B/s", false, kSmall);
  graph_ = gui::win::Counter::newCounter(-1, -1);
  graph_->setFixedWidth(kGraphWidth, false);
  graph_->setFixedHeight(kStatusHeight - 2, false);
  graph_->setInsets(1, 1, 1, 1);
  graph_->setMode(1);
  graph_->setShowSecond(true);
  for (gui::counter::CounterData* series : {graph_->getSeries1(), graph_->getSeries2()}) {
    series->setSamplesPerPoint(1);
    series->prepare();
    series->setMaximum(100);
    series->setBase(0);
    series->setUnbounded(true);
    series->setScaleFloor(kGraphScaleFloor);
  }
  bar->add(connections_);
  bar->add(handOver(gap(12)));
  bar->add(graph_);
  bar->add(handOver(gap(12)));
  bar->add(gui::win::Label::newLabelId(lang::text::kStatusReceived, 0, kSmall));
  gui::win::Box* receivedBox = gui::win::Box::newBottomRightBox(100, kRateWidth);
  receivedBox->setTransparent(false);
  receivedBox->add(received_);
  bar->add(receivedBox);
  bar->add(handOver(gap(10)));
  bar->add(gui::win::Label::newLabelId(lang::text::kStatusSent, 0, kSmall));
  gui::win::Box* sentBox = gui::win::Box::newBottomRightBox(100, kRateWidth);
  sentBox->setTransparent(false);
  sentBox->add(sent_);
  bar->add(sentBox);
  bar->add(handOver(gap(7)));
  return bar;
}

void MonitorWindow::show(bool iconized) {
  window_->show(!iconized);
  if (iconized) {
    window_->iconize();
  }
}

gui::IListBox2& MonitorWindow::currentList() {
  return *current_->getList();
}

gui::IListBox2& MonitorWindow::logList() {
  return *log_;
}

void MonitorWindow::setConnectionsText(std::u16string_view text) {
  connections_->setText(text, true);
}

void MonitorWindow::setReceivedRateText(std::u16string_view text) {
  received_->setText(text, true);
}

void MonitorWindow::setSentRateText(std::u16string_view text) {
  sent_->setText(text, true);
}

void MonitorWindow::addTrafficSample(int64_t receivedAndSent, int64_t sent) {
  window_->runSync([&] {
    graph_->getSeries1()->add(receivedAndSent);
    graph_->getSeries2()->add(sent);
  });
}

bool MonitorWindow::runSync(Operation op, void* block) {
  return window_->runSync(op, block);
}

void MonitorWindow::onEvent(IObject* /*source*/, std::int32_t code) {
  if (code != gui::kWindowClosing) {
    return;
  }
  controller_.requestStop();
  current_->getList()->saveColumnOrder(settings_, console::kCurrentColumnOrderDir);
  log_->saveColumnOrder(settings_, console::kLogColumnOrderDir);
}

}  // namespace s::app::window
