#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ui/IUiExecutor.h"
#include "tests/gui/listbox2/Fixture.h"

namespace {

using namespace listbox2_test;
using s::PoolPtr;

// A window thread of its own: runs the operations handed to it one at a time, in order.
class WindowThread final : public s::platform::ui::IUiExecutor {
 public:
  WindowThread() : thread_([this] { loop(); }) {}
  ~WindowThread() override {
    {
      std::scoped_lock guard(lock_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;

  bool runSync(Operation op, void* block) override {
    if (std::this_thread::get_id() == thread_.get_id()) {
      op(block);
      return true;
    }
    ++handOvers;
    Job job{op, block};
    std::unique_lock guard(lock_);
    jobs_.push_back(&job);
    wake_.notify_all();
    done_.wait(guard, [&] { return job.done; });
    return true;
  }
  std::thread::id id() const { return thread_.get_id(); }
  // Operations carried over from other threads.
  std::atomic<int> handOvers{0};

 private:
  struct Job {
    Operation op;
    void* block;
    bool done = false;
  };
  void loop() {
    std::unique_lock guard(lock_);
    for (;;) {
      wake_.wait(guard, [&] { return stop_ || !jobs_.empty(); });
      if (jobs_.empty()) {
        return;
      }
      Job* job = jobs_.front();
      jobs_.pop_front();
      guard.unlock();
      job->op(job->block);
      guard.lock();
      job->done = true;
      done_.notify_all();
    }
  }

  std::mutex lock_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::deque<Job*> jobs_;
  bool stop_ = false;
  std::thread thread_;
};

// Notes the thread of every view call and event.
class ThreadLog final : public lb::IListView, public s::gui::events::IEventListener {
 public:
  void columnAdded(uint32_t) override {}
  void columnOrderChanged() override {}
  void rowInserted(Record&) override { note(); }
  void rowRemoving(Record&) override { note(); }
  void cellChanged(Record&, uint32_t) override { note(); }
  void rowChanged(Record&) override { note(); }
  void columnChanged(uint32_t) override { note(); }
  void rowsSorted() override { note(); }
  void updateBegun() override { note(); }
  void updateEnded() override { note(); }
  void showRow(Record&) override { note(); }
  void setRowSelected(Record& record, bool selected) override {
    note();
    list->itemStateChanged(&record, selected ? s::gui::kRowSelected : 0,
                           selected ? 0 : s::gui::kRowSelected);
  }
  void onEvent(s::IObject*, int32_t) override { note(); }

  void note() {
    std::scoped_lock guard(lock);
    threads.push_back(std::this_thread::get_id());
  }
  ListBox2* list = nullptr;
  std::mutex lock;
  std::vector<std::thread::id> threads;
};

class ExecutorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    addTestColumns(*list);
    log.list = list.get();
    list->setView(&log);
    list->addSortedListener(&log);
    list->addSelectionListener(&log);
    list->setExecutor(&window);
  }
  void TearDown() override {
    // The list goes before the window thread that serves it.
    list.reset();
  }

  WindowThread window;
  PoolPtr<ListBox2> list = ListBox2::make();
  ThreadLog log;
};

TEST_F(ExecutorTest, OperationsFromOtherThreadsRunOnTheWindowThread) {
  Record* record = makeRow(u"a", 1, 2, 0);
  ASSERT_TRUE(list->appendRecord(record));
  uint32_t stamp = record->stamp();
  EXPECT_TRUE(list->setValue(record, stamp, kBytes, lb::int64Value(5)));
  EXPECT_TRUE(list->refreshText(record, stamp, kBytes));
  list->refreshColumn(kPid);
  EXPECT_TRUE(list->setMarked(record, stamp, true));
  EXPECT_TRUE(list->select(record, stamp));
  list->beginUpdate();
  list->sort();
  list->endUpdate();
  EXPECT_TRUE(list->ensureVisible(record, stamp));
  // Results come back to the caller.
  EXPECT_EQ(list->recordCount(), 1u);
  EXPECT_EQ(list->first(), record);
  ASSERT_TRUE(list->removeAndRelease(record, stamp));
  EXPECT_EQ(list->recordCount(), 0u);

  ASSERT_GE(log.threads.size(), 10u);
  for (std::thread::id id : log.threads) {
    EXPECT_EQ(id, window.id());
  }
}

TEST_F(ExecutorTest, ReleasingAHeldRecordElsewhereRemovesItOnTheWindowThread) {
  Record* record = makeRow(u"a", 1, 2, 0);
  list->appendRecord(record);
  log.threads.clear();
  record->release();
  EXPECT_EQ(list->recordCount(), 0u);
  ASSERT_EQ(log.threads.size(), 1u);
  EXPECT_EQ(log.threads[0], window.id());
}

TEST_F(ExecutorTest, ManyThreadsChangingRowsLeaveAConsistentList) {
  constexpr uint32_t kThreads = 4;
  constexpr uint32_t kRows = 200;
  std::vector<std::thread> workers;
  for (uint32_t t = 0; t < kThreads; ++t) {
    workers.emplace_back([this, t] {
      std::vector<Record*> mine;
      for (uint32_t i = 0; i < kRows; ++i) {
        Record* record = makeRow(u"x", i, i, t * kRows + i);
        list->appendRecord(record);
        mine.push_back(record);
        list->setValue(record, record->stamp(), kBytes, lb::int64Value(i * 2));
      }
      list->sort();
      // Every other row goes again; the others stay.
      for (uint32_t i = 0; i < kRows; i += 2) {
        list->removeAndRelease(mine[i], mine[i]->stamp());
      }
    });
  }
  for (std::thread& worker : workers) {
    worker.join();
  }
  ASSERT_EQ(list->recordCount(), kThreads * kRows / 2);
  for (uint32_t row = 0; row < list->recordCount(); ++row) {
    Record* record = list->getRecord(row);
    EXPECT_EQ(record->row(), row);
    EXPECT_EQ(tagOf(record) % 2, 1u);
    EXPECT_EQ(lb::int64Of(record->cell(kBytes)->value()), (tagOf(record) % kRows) * 2);
  }
}

TEST_F(ExecutorTest, AnUpdateFromAnotherThreadGoesOverInOneHandOver) {
  std::vector<Record*> rows;
  for (uint32_t i = 0; i < 3; ++i) {
    rows.push_back(makeRow(u"r", 10 - i, 0, i));
    list->appendRecord(rows.back());
  }
  Record* stale = makeRow(u"stale", 0, 0, 9);
  list->appendRecord(stale);
  const uint32_t staleStamp = stale->stamp();
  list->removeAndRelease(stale, staleStamp);
  auto shownRows = [&] {
    uint32_t n = 0;
    auto peek = [&] { n = list->list().recordCount(); };
    static_cast<s::platform::ui::IUiExecutor&>(window).runSync(peek);
    return n;
  };
  CountingOwner owner;
  const int before = window.handOvers;
  list->beginUpdate();
  for (uint32_t i = 0; i < 2; ++i) {
    EXPECT_TRUE(list->appendRecord(makeRow(u"new", 20 + i, 0, 3 + i)));
  }
  for (Record* record : rows) {
    list->giveValue(record, record->stamp(), kBytes, lb::int64Value(77), lb::int64ValueOwner());
  }
  list->giveValue(stale, staleStamp, kBytes, 1234, &owner);
  list->refreshColumn(kPid);
  list->sortByColumn(kPid);
  list->sortByColumn(kPid);
  list->sort();
  // Nothing has reached the window's thread yet.
  EXPECT_EQ(shownRows(), 3u);
  EXPECT_TRUE(owner.disposed.empty());
  list->endUpdate();
  // beginUpdate, the look in between and endUpdate.
  EXPECT_EQ(window.handOvers - before, 3);
  EXPECT_EQ(shownRows(), 5u);
  EXPECT_EQ(tags(*list), (std::vector<uint32_t>{2, 1, 0, 3, 4}));
  for (Record* record : rows) {
    EXPECT_EQ(lb::int64Of(record->cell(kBytes)->value()), 77);
  }
  // The record had gone: its value went back to the owner.
  EXPECT_EQ(owner.disposed, std::vector<lb::CellValue>{1234});
  for (std::thread::id id : log.threads) {
    EXPECT_EQ(id, window.id());
  }
}

TEST_F(ExecutorTest, AnAnswerOrAReleaseInAnUpdateTakesWhatWasKeptAlong) {
  list->beginUpdate();
  Record* kept = makeRow(u"kept", 1, 0, 0);
  list->appendRecord(kept);
  // An operation with an answer sees what was kept before it.
  EXPECT_EQ(list->recordCount(), 1u);
  Record* pending = makeRow(u"pending", 2, 0, 1);
  list->appendRecord(pending);
  // Released before the update went over: it is taken out again, not left behind.
  pending->release();
  list->endUpdate();
  EXPECT_EQ(tags(*list), std::vector<uint32_t>{0});
}

}  // namespace
