#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "framework/base/EasyPooler.h"
#include "framework/base/Pooled.h"
#include "framework/base/PoolerBase.h"

namespace {

using s::thread::EasyPooler;

// Counts what the pool does to its objects.
struct Counters {
  int created = 0;
  int destroyed = 0;
  int resets = 0;
};
Counters counters;

struct Item {
  int value = 0;
};

Item* createItem() {
  ++counters.created;
  return new Item();
}
void destroyItem(Item* item) {
  ++counters.destroyed;
  delete item;
}
void resetItem(Item* item) {
  ++counters.resets;
  item->value = 0;
}

class EasyPoolerTest : public ::testing::Test {
 protected:
  void SetUp() override { counters = {}; }
};

TEST_F(EasyPoolerTest, CapacityZeroKeepsNothing) {
  EasyPooler<Item> pool(0, createItem, destroyItem, resetItem);
  Item* a = pool.take();
  pool.giveBack(a);
  Item* b = pool.take();
  pool.giveBack(b);
  EXPECT_EQ(counters.created, 2);
  EXPECT_EQ(counters.destroyed, 2);
  EXPECT_EQ(counters.resets, 0);
  EXPECT_EQ(pool.freeCount(), 0u);
}

TEST_F(EasyPoolerTest, FullFreeListDestroysWithoutReset) {
  EasyPooler<Item> pool(1000, createItem, destroyItem, resetItem);
  std::vector<Item*> items;
  for (int i = 0; i < 1001; ++i) {
    items.push_back(pool.take());
  }
  for (int i = 0; i < 1000; ++i) {
    pool.giveBack(items[i]);
  }
  EXPECT_EQ(counters.resets, 1000);
  pool.giveBack(items[1000]);
  EXPECT_EQ(counters.resets, 1000);
  EXPECT_EQ(counters.destroyed, 1);
  EXPECT_EQ(pool.freeCount(), 1000u);
}

TEST_F(EasyPoolerTest, TakeAnswersTheLastGivenBackAlreadyReset) {
  EasyPooler<Item> pool(10, createItem, destroyItem, resetItem);
  Item* a = pool.take();
  Item* b = pool.take();
  a->value = 1;
  b->value = 2;
  pool.giveBack(a);
  pool.giveBack(b);
  Item* again = pool.take();
  EXPECT_EQ(again, b);
  EXPECT_EQ(again->value, 0);
  EXPECT_EQ(pool.take(), a);
  EXPECT_EQ(counters.created, 2);
  pool.giveBack(a);
  pool.giveBack(b);
}

TEST_F(EasyPoolerTest, DestroyOnNullSlotDoesNothing) {
  EasyPooler<Item> pool(10, createItem, destroyItem, resetItem);
  s::IDestructor<Item>& destructor = pool;
  Item* slot = nullptr;
  destructor.destroy(slot);
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(pool.freeCount(), 0u);

  slot = pool.take();
  destructor.destroy(slot);
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(pool.freeCount(), 1u);
}

TEST_F(EasyPoolerTest, DestroyingThePoolDestroysOnlyFreeObjects) {
  Item* out = nullptr;
  {
    EasyPooler<Item> pool(10, createItem, destroyItem, resetItem);
    out = pool.take();
    pool.giveBack(pool.take());
    pool.giveBack(pool.take());
  }
  EXPECT_EQ(counters.destroyed, 1);
  delete out;
}

TEST_F(EasyPoolerTest, NewInstanceIsAnEmptyPoolWithTheSameCallbacks) {
  EasyPooler<Item> pool(7, createItem, destroyItem, resetItem);
  pool.giveBack(pool.take());
  s::ObjectPtr copy = pool.newInstance();
  auto& other = dynamic_cast<EasyPooler<Item>&>(*copy);
  EXPECT_EQ(other.capacity(), 7u);
  EXPECT_EQ(other.freeCount(), 0u);
  other.giveBack(other.take());
  EXPECT_EQ(counters.created, 2);
  EXPECT_EQ(copy->className(), u"s_thread_EasyPooler");
}

// A pooled class made with the Pooled template.
class Widget final : public s::Pooled<Widget, s::PoolableObject> {
 public:
  int value = 0;
  void reset() override { value = 0; }
  std::u16string_view className() const override { return u"s_test_Widget"; }
};

TEST(PooledTest, ReleaseRecyclesThroughTheClassPool) {
  Widget* w = Widget::take();
  w->value = 42;
  w->release();
  Widget* again = Widget::take();
  EXPECT_EQ(again, w);
  EXPECT_EQ(again->value, 0);
  s::ObjectPtr fresh = again->newInstance();
  EXPECT_NE(fresh.get(), again);
  EXPECT_EQ(fresh->className(), u"s_test_Widget");
  again->release();
}

TEST(PooledTest, ConcurrentTakeAndGiveBackLoseNothing) {
  // Warm the pool up from several threads at once: first construction must be safe too.
  std::atomic<int> errors{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&errors, t] {
      for (int i = 0; i < 20000; ++i) {
        s::PoolPtr<Widget> w = Widget::make();
        if (w->value != 0) {
          ++errors;
        }
        w->value = t + 1;
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(errors.load(), 0);
  EXPECT_LE(Widget::pool().freeCount(), 1000u);
}

// A size-aware pool whose objects report their own size.
struct Blob {
  int size = 0;
};

class BlobFactory final : public s::thread::Factory<Blob> {
 public:
  ~BlobFactory() override { destroyFree(); }
  s::ObjectPtr newInstance() const override { return s::ObjectPtr(new BlobFactory()); }
  int sizeOf(const Blob& blob) const override { return blob.size; }
  Blob* generate() override {
    ++generated;
    return new Blob();
  }
  void resetObject(Blob* /*blob*/) override { ++resets; }
  void destroyObject(Blob*& slot) override {
    ++destroyed;
    delete slot;
    slot = nullptr;
  }
  int generated = 0;
  int resets = 0;
  int destroyed = 0;
};

TEST(PoolerBaseTest, SizeAccountingRefusesOversizedAndOverBudgetObjects) {
  BlobFactory factory;
  factory.setSizeAccounting(true);

  Blob* big = factory.take();
  big->size = 1025;
  factory.giveBack(big, -1);
  EXPECT_EQ(factory.destroyed, 1);
  EXPECT_EQ(factory.freeCount(), 0u);

  // 100 objects of 1024 fill the 102400 budget exactly; the next is refused.
  std::vector<Blob*> blobs;
  for (int i = 0; i < 101; ++i) {
    blobs.push_back(new Blob{1024});
  }
  for (int i = 0; i < 100; ++i) {
    factory.giveBack(blobs[i], -1);
  }
  EXPECT_EQ(factory.totalSize(), 102400);
  factory.giveBack(blobs[100], -1);
  EXPECT_EQ(factory.destroyed, 2);
  EXPECT_EQ(factory.freeCount(), 100u);

  // A size passed by the caller is used as given; take subtracts sizeOf.
  Blob* taken = factory.take();
  EXPECT_EQ(factory.totalSize(), 102400 - 1024);
  taken->size = 10;
  factory.giveBack(taken, 10);
  EXPECT_EQ(factory.totalSize(), 102400 - 1024 + 10);
}

TEST(PoolerBaseTest, WithoutAccountingOnlyTheCountBounds) {
  BlobFactory factory;
  std::vector<Blob*> blobs;
  for (int i = 0; i < 1001; ++i) {
    blobs.push_back(new Blob{5000});
  }
  for (Blob* blob : blobs) {
    factory.giveBack(blob, -1);
  }
  EXPECT_EQ(factory.freeCount(), 1000u);
  EXPECT_EQ(factory.destroyed, 1);
  EXPECT_EQ(factory.totalSize(), 0);

  Blob* slot = factory.take();
  s::IDestructor<Blob>& destructor = factory;
  destructor.destroy(slot);
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(factory.freeCount(), 1000u);
  EXPECT_EQ(factory.generated, 0);
}

}  // namespace
