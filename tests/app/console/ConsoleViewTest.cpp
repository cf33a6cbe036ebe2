#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/ConnectionColumns.h"
#include "app/NetvigilEx.h"
#include "app/console/ConsoleView.h"
#include "framework/settings/MappedData.h"
#include "gui/listbox2/IListView.h"
#include "tests/support/TempFolder.h"

namespace s::app::console {
namespace {

namespace lb = gui::listbox2;

lb::Record* textRow(uint32_t cells, std::u16string_view first) {
  lb::Record* record = lb::newRecord(cells, nullptr).release();
  for (uint32_t i = 0; i < cells; ++i) {
    std::u16string text = i == 0 ? std::u16string(first) : u"c" + std::u16string(1, u'a' + i);
    lb::appendCell(record, lb::newCell(lb::textValue(text), lb::textValueOwner(), lb::showText));
  }
  return record;
}

// The threads the list's model changes were told on.
class ThreadRecorder final : public lb::IListView {
 public:
  void columnAdded(uint32_t) override {}
  void columnOrderChanged() override {}
  void rowInserted(lb::Record&) override { note(); }
  void rowRemoving(lb::Record&) override { note(); }
  void cellChanged(lb::Record&, uint32_t) override {}
  void rowChanged(lb::Record&) override {}
  void columnChanged(uint32_t) override {}
  void rowsSorted() override {}
  void updateBegun() override {}
  void updateEnded() override {}
  void showRow(lb::Record&) override {}
  void setRowSelected(lb::Record&, bool) override {}

  std::vector<std::thread::id> threads() {
    std::scoped_lock guard(lock_);
    return threads_;
  }

 private:
  void note() {
    std::scoped_lock guard(lock_);
    threads_.push_back(std::this_thread::get_id());
  }
  std::mutex lock_;
  std::vector<std::thread::id> threads_;
};

struct LogRowBlock {
  NetvigilEx* controller;
  ConsoleView* view;
  lb::Record* row;
};

// Stands in for the refresh cycle: each cycle one current row and one log row (added on the
// view's thread under listLock, as the cycle does), then the status texts; at the end the
// rows go, as the cycle's records release them.
void scriptedCycle(NetvigilEx& controller, ConsoleView& view, uint32_t maxCycles) {
  for (uint32_t cycle = 1; cycle <= maxCycles && !controller.stopRequested; ++cycle) {
    std::u16string name = u"row" + std::u16string(1, static_cast<char16_t>(u'0' + cycle));
    view.currentList().appendRecord(textRow(current::kCellCount, name));
    LogRowBlock block{&controller, &view, textRow(logged::kCellCount, u"<b>" + name)};
    view.runSync(
        [](void* data) {
          auto* b = static_cast<LogRowBlock*>(data);
          std::scoped_lock guard(b->controller->listLock);
          b->view->logList().appendRecord(b->row);
        },
        &block);
    std::u16string count(1, static_cast<char16_t>(u'0' + cycle));
    view.setConnectionsText(count + u" Connections (Tcp: " + count + u", Udp: 0)");
    view.setReceivedRateText(u"0 B/s");
    view.setSentRateText(u"0 B/s");
  }
  view.currentList().removeAllAndRelease();
  view.runSync(
      [](void* data) {
        auto* v = static_cast<ConsoleView*>(data);
        v->logList().removeAllAndRelease();
      },
      &view);
  view.refreshEnded();
}

class ConsoleViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(pipe2(out_, O_CLOEXEC), 0);
    settings_ = xml::MappedData::inMemory();
    localizer_ = lang::Localizer::fromResource(u"IDR_XML", 130);
    localizer_->selectLanguage(u"English");
    controller_ = NetvigilEx::make();
  }
  void TearDown() override {
    close(out_[0]);
    if (out_[1] >= 0) {
      close(out_[1]);
    }
  }

  // Runs the view's loop here against the scripted cycle; gives the exit status.
  int runPrintout(ViewOptions options, uint32_t maxCycles = 100) {
    options.live = false;
    options.out = out_[1];
    ConsoleView view(*controller_, localizer_.get(), *settings_, options);
    std::string error;
    EXPECT_TRUE(view.open(error)) << error;
    ThreadRecorder recorder;
    view.currentListBox().setView(&recorder);
    std::thread cycle(scriptedCycle, std::ref(*controller_), std::ref(view), maxCycles);
    int status = view.run();
    cycle.join();
    for (std::thread::id id : recorder.threads()) {
      EXPECT_EQ(id, std::this_thread::get_id());
    }
    // Inserted and removed: the rows went through the view's thread both ways.
    EXPECT_GE(recorder.threads().size(), 2U);
    view.currentListBox().setView(nullptr);
    return status;
  }

  std::string printed() {
    close(out_[1]);
    out_[1] = -1;
    std::string text;
    char chunk[4096];
    ssize_t got = 0;
    while ((got = read(out_[0], chunk, sizeof(chunk))) > 0) {
      text.append(chunk, static_cast<size_t>(got));
    }
    return text;
  }

  int out_[2] = {-1, -1};
  PoolPtr<xml::MappedData> settings_;
  PoolPtr<lang::Localizer> localizer_;
  PoolPtr<NetvigilEx> controller_;
};

TEST_F(ConsoleViewTest, PrintsTheCurrentListAfterItsCyclesAndStopsTheCycle) {
  ViewOptions options;
  options.cycles = 2;
  options.tsv = true;
  EXPECT_EQ(runPrintout(options), 0);
  EXPECT_TRUE(controller_->stopRequested);
  EXPECT_EQ(printed(),
            "row1\tcb\tcc\tcd\tce\tcf\tcg\tch\tci\tcj\tck\tcl\n"
            "row2\tcb\tcc\tcd\tce\tcf\tcg\tch\tci\tcj\tck\tcl\n");
}

TEST_F(ConsoleViewTest, PrintsTextColumnsWithTheTitlesAndTheStatusLine) {
  ViewOptions options;
  options.cycles = 1;
  EXPECT_EQ(runPrintout(options), 0);
  std::string text = printed();
  EXPECT_EQ(text.find("Protocol\u25B2  State  Process ID  Process Name"), 0U) << text;
  EXPECT_NE(text.find("\nrow1  "), std::string::npos) << text;
  EXPECT_NE(text.find("\n\n1 Connections (Tcp: 1, Udp: 0)   Received: 0 B/s   Sent: 0 B/s\n"),
            std::string::npos)
      << text;
}

TEST_F(ConsoleViewTest, SavesTheLogAsHtmlOnTheWayOut) {
  s::test::TempFolder folder;
  ViewOptions options;
  options.cycles = 3;
  options.saveLogPath = folder.path("logs/LOG-test.htm").string();
  EXPECT_EQ(runPrintout(options), 0);
  std::string page = s::test::fileText(folder.path("logs/LOG-test.htm"));
  // Three cycles logged a row each before the way out; markup in a name stays text.
  for (const char* row : {"&lt;b&gt;row1", "&lt;b&gt;row2", "&lt;b&gt;row3"}) {
    EXPECT_NE(page.find(std::string("<tr><td>") + row + "</td>"), std::string::npos) << page;
  }
  EXPECT_EQ(page.find("<b>row"), std::string::npos);
}

TEST_F(ConsoleViewTest, ReportsWhatItCouldNotDo) {
  s::test::TempFolder folder;
  ViewOptions options;
  options.cycles = 1;
  // A folder where the file should be.
  options.saveLogPath = folder.root().string();
  EXPECT_EQ(runPrintout(options), 1);
  // A cycle that ends before the printout.
  options.saveLogPath.clear();
  options.cycles = 5;
  controller_->stopRequested = false;
  EXPECT_EQ(runPrintout(options, 2), 1);
}

}  // namespace
}  // namespace s::app::console
