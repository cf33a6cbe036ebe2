#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <random>
#include <vector>

#include "framework/base/Cleaners.h"
#include "framework/col/ListP.h"

namespace {

using s::col::ListP;

// Pointers to distinct slots, so elements can be told apart.
class ListPTest : public ::testing::Test {
 protected:
  int* item(size_t i) { return &slots_[i]; }
  std::vector<int*> contents(const ListP<int>& list) {
    std::vector<int*> out;
    for (uint32_t i = 0; i < list.count(); ++i) {
      out.push_back(list.at(i));
    }
    return out;
  }

  std::vector<int> slots_ = std::vector<int>(4096);
};

TEST_F(ListPTest, WrapsAroundAndGrowsKeepingOrder) {
  ListP<int> list;
  for (size_t i = 0; i < 100; ++i) {
    list.push(item(i));
  }
  ASSERT_EQ(list.capacity(), 100u);
  // Free the front and fill from the back: the elements now wrap at the block's end.
  for (int i = 0; i < 60; ++i) {
    EXPECT_EQ(list.popFirst(), item(i));
  }
  for (size_t i = 100; i < 160; ++i) {
    list.push(item(i));
  }
  EXPECT_EQ(list.capacity(), 100u);
  EXPECT_EQ(list.firstIndex(), 60u);
  std::vector<int*> expected;
  for (size_t i = 60; i < 160; ++i) {
    expected.push_back(item(i));
  }
  EXPECT_EQ(contents(list), expected);

  // The 101st element triples the block and puts the elements in order at its start.
  list.push(item(160));
  expected.push_back(item(160));
  EXPECT_EQ(list.capacity(), 300u);
  EXPECT_EQ(list.firstIndex(), 0u);
  EXPECT_EQ(contents(list), expected);

  // Adding in front of element 0 wraps backwards.
  list.pushFirst(item(1000));
  EXPECT_EQ(list.firstIndex(), 299u);
  EXPECT_EQ(list.first(), item(1000));
  EXPECT_EQ(list.last(), item(160));
}

TEST_F(ListPTest, MatchesADequeUnderMixedEdits) {
  std::mt19937 random(7);
  ListP<int> list;
  std::deque<int*> model;
  size_t next = 0;
  for (int step = 0; step < 4000; ++step) {
    uint32_t count = list.count();
    switch (random() % 8) {
      case 0:
      case 1:
        list.push(item(next % slots_.size()));
        model.push_back(item(next++ % slots_.size()));
        break;
      case 2:
      case 3:
        list.pushFirst(item(next % slots_.size()));
        model.push_front(item(next++ % slots_.size()));
        break;
      case 4:
        if (count > 0) {
          ASSERT_EQ(list.popFirst(), model.front());
          model.pop_front();
        }
        break;
      case 5:
        if (count > 0) {
          ASSERT_EQ(list.pop(), model.back());
          model.pop_back();
        }
        break;
      case 6: {
        // A run of new elements somewhere in the middle.
        uint32_t at = count == 0 ? 0 : random() % count;
        std::vector<int*> run;
        for (uint32_t k = 0; k < 1 + random() % 5; ++k) {
          run.push_back(item(next++ % slots_.size()));
        }
        list.insert(at, run.data(), static_cast<uint32_t>(run.size()));
        model.insert(model.begin() + at, run.begin(), run.end());
        break;
      }
      default: {
        uint32_t at = count == 0 ? 0 : random() % count;
        uint32_t n = random() % 4;
        std::vector<int*> taken(n);
        list.takeRange(at, taken.data(), n);
        uint32_t removed = std::min<uint32_t>(n, count - std::min(at, count));
        for (uint32_t k = 0; k < removed; ++k) {
          ASSERT_EQ(taken[k], model[at + k]);
        }
        model.erase(model.begin() + at, model.begin() + at + removed);
        break;
      }
    }
    ASSERT_EQ(contents(list), std::vector<int*>(model.begin(), model.end())) << "step " << step;
  }
}

TEST_F(ListPTest, CopiesCompareAndStreamAcrossTheWrap) {
  ListP<int> list;
  for (size_t i = 0; i < 100; ++i) {
    list.push(item(i));
  }
  list.dropFirst(90);
  for (size_t i = 100; i < 110; ++i) {
    list.push(item(i));
  }
  ASSERT_EQ(list.firstIndex(), 90u);
  std::vector<int*> expected;
  for (size_t i = 90; i < 110; ++i) {
    expected.push_back(item(i));
  }

  std::vector<int*> out(20);
  list.copyOut(out.data(), 0, 0);
  EXPECT_EQ(out, expected);
  EXPECT_EQ(list.compareRange(5, expected.data(), 10, 5), 0);
  EXPECT_NE(list.compareRange(5, expected.data(), 10, 6), 0);

  // Bytes read in odd-sized pieces come out in element order.
  std::vector<std::byte> bytes(list.byteSize());
  size_t done = 0;
  while (size_t got =
             list.readBytes(bytes.data() + done, std::min<size_t>(7, bytes.size() - done))) {
    done += got;
  }
  EXPECT_EQ(done, bytes.size());
  EXPECT_EQ(std::memcmp(bytes.data(), expected.data(), bytes.size()), 0);

  // Inserting the list's own elements into itself: the gap shifts them.
  list.insert(1, list.slotAt(2), 4);
  EXPECT_EQ(list.at(1), item(92));
  EXPECT_EQ(list.at(4), item(95));
  EXPECT_EQ(list.at(5), item(91));

  list.reverse();
  EXPECT_EQ(list.first(), item(109));
}

TEST_F(ListPTest, WritesAssembleElementsFromSplitBytes) {
  ListP<int> list;
  int* values[2] = {item(3), item(4)};
  const auto* bytes = reinterpret_cast<const std::byte*>(values);
  list.writeBytes(bytes, 3);
  EXPECT_EQ(list.count(), 0u);
  list.writeBytes(bytes + 3, sizeof values - 3);
  ASSERT_EQ(list.count(), 2u);
  EXPECT_EQ(list.at(1), item(4));
}

// Counts how often each element is disposed of.
class CountingDestructor final : public s::IDestructor<int> {
 public:
  void destroy(int*& slot) override {
    if (slot != nullptr) {
      ++*slot;
      slot = nullptr;
    }
  }
};

TEST_F(ListPTest, DisposesOfOwnedElementsOnceOnFreeMemoryAndDestruction) {
  CountingDestructor destructor;
  {
    ListP<int> list(&destructor);
    for (size_t i = 0; i < 120; ++i) {
      list.push(item(i));
    }
    list.dropFirst(10);  // handed back, not disposed of
    list.clear();        // nor here
    EXPECT_EQ(slots_[0] + slots_[50], 0);
    for (size_t i = 0; i < 5; ++i) {
      list.pushFirst(item(i));
    }
    list.freeMemory();
    for (size_t i = 0; i < 5; ++i) {
      list.push(item(i + 200));
    }
  }
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(slots_[i], 1) << i;
    EXPECT_EQ(slots_[i + 200], 1) << i;
  }
  EXPECT_EQ(slots_[50], 0);
}

TEST(ListPPoolTest, RecycledListComesBackEmptyWithoutDestructor) {
  CountingDestructor destructor;
  int value = 0;
  auto* list = ListP<int>::take();
  list->setDestructor(&destructor);
  list->push(&value);
  list->release();
  EXPECT_EQ(value, 1);
  auto* again = ListP<int>::take();
  EXPECT_EQ(again->count(), 0u);
  EXPECT_EQ(again->capacity(), 0u);
  EXPECT_EQ(again->destructor(), nullptr);
  again->release();
}

}  // namespace
