#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/col/Map.h"
#include "framework/col/MapTable.h"

namespace {

using s::col::ArrayP;
using s::col::Map;
using s::col::MapTable;
using s::col::map::kBucketCounts;

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// A text key whose two families differ: exact, and without regard to letter case. A fixed
// hash puts every key into one chain.
class Key final : public s::IObject {
 public:
  explicit Key(std::string text, int64_t fixedHash = -1)
      : text_(std::move(text)), fixedHash_(fixedHash) {}

  const std::string& text() const { return text_; }

  bool equals(const IObject& other, const s::IComparator<IObject>* /*comparator*/) const override {
    return text_ == static_cast<const Key&>(other).text_;
  }
  bool equalsIgnoreCase(const IObject& other,
                        const s::IComparator<IObject>* /*comparator*/) const override {
    return lower(text_) == lower(static_cast<const Key&>(other).text_);
  }
  uint32_t hashCode() const override {
    return fixedHash_ >= 0 ? static_cast<uint32_t>(fixedHash_)
                           : static_cast<uint32_t>(std::hash<std::string>{}(text_));
  }
  uint32_t hashCodeIgnoreCase() const override {
    return fixedHash_ >= 0 ? static_cast<uint32_t>(fixedHash_)
                           : static_cast<uint32_t>(std::hash<std::string>{}(lower(text_)));
  }
  std::u16string_view className() const override { return u"s_test_Key"; }
  s::ObjectPtr newInstance() const override { return s::ObjectPtr(new Key(text_)); }

 private:
  std::string text_;
  int64_t fixedHash_;
};

// Records every disposal so a test can tell that each element went exactly once.
template <class T>
class Recorder final : public s::IDestructor<T> {
 public:
  void destroy(T*& slot) override {
    if (slot != nullptr) {
      ++disposed[slot];
      slot = nullptr;
    }
  }
  bool onceEach(const std::vector<T*>& elements) const {
    if (disposed.size() != elements.size()) {
      return false;
    }
    return std::all_of(elements.begin(), elements.end(), [this](T* element) {
      auto found = disposed.find(element);
      return found != disposed.end() && found->second == 1;
    });
  }
  std::map<T*, int> disposed;
};

// Owns the keys a test puts into sets and tables.
class MapTest : public ::testing::Test {
 protected:
  Key* key(const std::string& text, int64_t fixedHash = -1) {
    keys_.push_back(std::make_unique<Key>(text, fixedHash));
    return keys_.back().get();
  }
  std::vector<Key*> keys(int n, const std::string& prefix = "key") {
    std::vector<Key*> out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
      out.push_back(key(prefix + std::to_string(i)));
    }
    return out;
  }

  std::vector<std::unique_ptr<Key>> keys_;
};

TEST_F(MapTest, AddAnswersFalseForAnEqualElementAndKeepsTheFirst) {
  Map<Key> set;
  Key* first = key("alpha");
  EXPECT_TRUE(set.add(first));
  EXPECT_FALSE(set.add(key("alpha")));
  EXPECT_EQ(set.count(), 1u);
  EXPECT_EQ(set.findEqual(Key("alpha")), first);
  EXPECT_TRUE(set.contains(Key("alpha")));
  EXPECT_FALSE(set.contains(Key("Alpha")));
}

TEST_F(MapTest, The106thElementMovesTo431BucketsAndAllAreFound) {
  Map<Key> set;
  EXPECT_EQ(set.bucketCount(), 0u);
  auto all = keys(106);
  for (int i = 0; i < 105; ++i) {
    ASSERT_TRUE(set.add(all[i]));
  }
  EXPECT_EQ(set.bucketCount(), 211u);
  ASSERT_TRUE(set.add(all[105]));
  EXPECT_EQ(set.bucketCount(), 431u);
  EXPECT_EQ(set.sizeClass(), 1u);
  for (Key* element : all) {
    EXPECT_EQ(set.findEqual(Key(element->text())), element) << element->text();
  }
  // Further growth walks the size classes in order, keeping the load at most one half.
  auto more = keys(3000, "more");
  for (Key* element : more) {
    ASSERT_TRUE(set.add(element));
    ASSERT_LE(set.count(), set.bucketCount() / 2);
  }
  EXPECT_EQ(set.bucketCount(), kBucketCounts[set.sizeClass()]);
  EXPECT_EQ(set.bucketCount(), 6947u);
  for (Key* element : more) {
    ASSERT_TRUE(set.contains(Key(element->text())));
  }
  ArrayP<Key> listed;
  set.elements(listed);
  EXPECT_EQ(listed.count(), 3106u);
}

TEST_F(MapTest, RemovesAnywhereInAChainAndAddsAgain) {
  Map<Key> set;
  // One chain: head, middle and tail removals all relink it.
  std::vector<Key*> chain;
  for (int i = 0; i < 5; ++i) {
    chain.push_back(key("c" + std::to_string(i), 42));
    ASSERT_TRUE(set.add(chain.back()));
  }
  for (int index : {2, 0, 4}) {
    Key* removed = nullptr;
    ASSERT_TRUE(set.remove(Key(chain[index]->text(), 42), &removed));
    EXPECT_EQ(removed, chain[index]);
  }
  EXPECT_FALSE(set.remove(Key("c2", 42)));
  EXPECT_EQ(set.count(), 2u);
  EXPECT_TRUE(set.contains(Key("c1", 42)));
  EXPECT_TRUE(set.contains(Key("c3", 42)));
  EXPECT_FALSE(set.contains(Key("c0", 42)));
  // Re-added elements go to the chain's tail.
  ASSERT_TRUE(set.add(chain[0]));
  ArrayP<Key> listed;
  set.elements(listed);
  ASSERT_EQ(listed.count(), 3u);
  EXPECT_EQ(listed[0], chain[1]);
  EXPECT_EQ(listed[2], chain[0]);
}

TEST_F(MapTest, IgnoreCaseFamilyIsUsedOnlyWhenFlagged) {
  Map<Key> exact;
  EXPECT_TRUE(exact.add(key("Host.Example")));
  EXPECT_TRUE(exact.add(key("host.example")));
  EXPECT_FALSE(exact.contains(Key("HOST.EXAMPLE")));

  Map<Key> folded;
  folded.setup(true, nullptr, nullptr);
  Key* stored = key("Host.Example");
  EXPECT_TRUE(folded.add(stored));
  EXPECT_FALSE(folded.add(key("host.example")));
  EXPECT_EQ(folded.findEqual(Key("HOST.EXAMPLE")), stored);
  EXPECT_TRUE(folded.remove(Key("hOST.eXAMPLE")));
  EXPECT_EQ(folded.count(), 0u);

  MapTable<Key, int> table;
  table.setup(true, nullptr, nullptr, nullptr, nullptr);
  int value = 7;
  EXPECT_TRUE(table.put(key("Icon.PNG"), &value));
  EXPECT_EQ(table.get(Key("icon.png")), &value);
}

TEST_F(MapTest, SetDisposersRunOncePerElementOnClearResetAndDestruction) {
  Recorder<Key> onClear;
  Recorder<Key> onDestroy;
  auto first = keys(300, "a");
  auto second = keys(50, "b");
  auto third = keys(20, "c");
  {
    Map<Key> set;
    set.setup(false, &onClear, &onDestroy);
    for (Key* element : first) {
      set.add(element);
    }
    set.clear(set.clearDisposer());
    EXPECT_TRUE(onClear.onceEach(first));
    EXPECT_EQ(set.count(), 0u);
    EXPECT_EQ(set.bucketCount(), 863u);  // tables never shrink

    for (Key* element : second) {
      set.add(element);
    }
    onClear.disposed.clear();
    set.reset();
    EXPECT_TRUE(onClear.onceEach(second));
    EXPECT_EQ(set.bucketCount(), 863u);  // kept for the set's next use
    EXPECT_EQ(set.clearDisposer(), nullptr);

    set.setup(false, &onClear, &onDestroy);
    for (Key* element : third) {
      set.add(element);
    }
    onClear.disposed.clear();
  }
  EXPECT_TRUE(onClear.disposed.empty());
  EXPECT_TRUE(onDestroy.onceEach(third));
}

TEST_F(MapTest, RemoveAbsentMovesOutWhatTheOtherSetLacks) {
  Map<Key> current;
  Map<Key> snapshot;
  auto all = keys(200);
  for (Key* element : all) {
    current.add(element);
  }
  for (int i = 0; i < 200; i += 3) {
    snapshot.add(key(all[i]->text()));  // equal, not the same objects
  }
  ArrayP<Key> gone;
  current.removeAbsent(snapshot, gone);
  EXPECT_EQ(gone.count(), 200u - 67u);
  EXPECT_EQ(current.count(), 67u);
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(current.findEqual(*all[i]) == all[i], i % 3 == 0) << i;
    EXPECT_EQ(gone.indexOf(all[i]) >= 0, i % 3 != 0) << i;
  }
}

TEST_F(MapTest, PutNeverReplacesAndRemoveHandsBackTheEntry) {
  MapTable<Key, int> table;
  int one = 1;
  int two = 2;
  Key* stored = key("k");
  EXPECT_TRUE(table.put(stored, &one));
  EXPECT_FALSE(table.put(key("k"), &two));
  EXPECT_EQ(table.get(Key("k")), &one);
  EXPECT_EQ(table.get(Key("absent")), nullptr);
  EXPECT_EQ(table.findKey(Key("k")), stored);

  Key* removedKey = nullptr;
  int* removedValue = nullptr;
  EXPECT_TRUE(table.remove(Key("k"), &removedKey, &removedValue));
  EXPECT_EQ(removedKey, stored);
  EXPECT_EQ(removedValue, &one);
  EXPECT_FALSE(table.remove(Key("k")));
  EXPECT_TRUE(table.put(stored, &two));
  EXPECT_EQ(table.get(Key("k")), &two);
}

TEST_F(MapTest, TableGrowsLikeTheSetAndKeepsEveryValue) {
  MapTable<Key, int> table;
  auto all = keys(2000);
  std::vector<int> values(all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    values[i] = static_cast<int>(i);
    ASSERT_TRUE(table.put(all[i], &values[i]));
    if (i == 104) {
      EXPECT_EQ(table.bucketCount(), 211u);
    }
    if (i == 105) {
      EXPECT_EQ(table.bucketCount(), 431u);
    }
  }
  EXPECT_EQ(table.bucketCount(), 6947u);
  size_t visited = 0;
  table.forEach([&](Key* k, int* v) {
    ++visited;
    EXPECT_EQ(std::to_string(*v), k->text().substr(3));
  });
  EXPECT_EQ(visited, all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    ASSERT_EQ(table.get(Key(all[i]->text())), &values[i]);
  }
}

TEST_F(MapTest, TableDisposersRunOncePerEntry) {
  Recorder<Key> clearKeys;
  Recorder<int> clearValues;
  Recorder<Key> destroyKeys;
  Recorder<int> destroyValues;
  auto all = keys(150);
  std::vector<int> values(all.size());
  std::vector<int*> valuePointers;
  valuePointers.reserve(values.size());
  for (int& value : values) {
    valuePointers.push_back(&value);
  }
  auto fill = [&](MapTable<Key, int>& table, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
      table.put(all[i], &values[i]);
    }
  };
  {
    MapTable<Key, int> table;
    table.setup(false, &clearKeys, &clearValues, &destroyKeys, &destroyValues);
    fill(table, 0, 150);
    // Keys owned elsewhere: clearing through no disposers leaves everything alone.
    table.clear(nullptr, nullptr);
    EXPECT_TRUE(clearKeys.disposed.empty());
    fill(table, 0, 150);
    table.clear(table.clearKeys(), table.clearValues());
    EXPECT_TRUE(clearKeys.onceEach(all));
    EXPECT_TRUE(clearValues.onceEach(valuePointers));
    EXPECT_TRUE(destroyKeys.disposed.empty());

    fill(table, 0, 100);
    clearKeys.disposed.clear();
    clearValues.disposed.clear();
    table.reset();
    EXPECT_TRUE(clearKeys.onceEach({all.begin(), all.begin() + 100}));
    EXPECT_TRUE(clearValues.onceEach({valuePointers.begin(), valuePointers.begin() + 100}));

    table.setup(false, &clearKeys, &clearValues, &destroyKeys, &destroyValues);
    fill(table, 100, 150);
    clearKeys.disposed.clear();
  }
  EXPECT_TRUE(clearKeys.disposed.empty());
  EXPECT_TRUE(destroyKeys.onceEach({all.begin() + 100, all.end()}));
  EXPECT_TRUE(destroyValues.onceEach({valuePointers.begin() + 100, valuePointers.end()}));
}

TEST_F(MapTest, NodesComeFromAndReturnToTheirOwnPool) {
  auto& setNodes = s::col::map::setNodePool();
  auto& tableNodes = s::col::map::tableNodePool();
  Map<Key> set;
  MapTable<Key, int> table;
  auto all = keys(50);
  for (Key* element : all) {
    set.add(element);
    table.put(element, nullptr);
  }
  uint32_t setFree = setNodes.freeCount();
  uint32_t tableFree = tableNodes.freeCount();
  set.clear(nullptr);
  EXPECT_EQ(setNodes.freeCount(), setFree + 50);
  EXPECT_EQ(tableNodes.freeCount(), tableFree);
  table.remove(*all[0]);
  EXPECT_EQ(tableNodes.freeCount(), tableFree + 1);
  // The next insertions reuse the returned nodes.
  for (Key* element : all) {
    set.add(element);
  }
  EXPECT_EQ(setNodes.freeCount(), setFree);
}

TEST_F(MapTest, PooledSetIsTakenSetUpAndComesBackReset) {
  Recorder<Key> onClear;
  auto all = keys(10);
  Map<Key>* set = Map<Key>::take(true, &onClear, nullptr);
  EXPECT_TRUE(set->ignoreCase());
  for (Key* element : all) {
    set->add(element);
  }
  set->release();
  EXPECT_TRUE(onClear.onceEach(all));
  Map<Key>* again = Map<Key>::take();
  EXPECT_EQ(again->count(), 0u);
  EXPECT_FALSE(again->ignoreCase());
  EXPECT_EQ(again->clearDisposer(), nullptr);
  again->release();

  auto* table = MapTable<Key, int>::take(true, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(table->ignoreCase());
  table->release();
}

}  // namespace
