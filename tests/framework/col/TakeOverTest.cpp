#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "framework/col/ArrayP.h"
#include "framework/col/ListP.h"
#include "framework/col/Map.h"
#include "framework/col/MapTable.h"

namespace {

using s::PoolPtr;

// A pooled key that counts how often its pool takes one back.
class Name final : public s::Pooled<Name, s::PoolableObject> {
 public:
  using IObject::equals;
  static inline int givenBack = 0;
  static PoolPtr<Name> of(std::string text) {
    PoolPtr<Name> name = make();
    name->text_ = std::move(text);
    return name;
  }
  bool equals(const IObject& other, const s::IComparator<IObject>* /*comparator*/) const override {
    return text_ == static_cast<const Name&>(other).text_;
  }
  uint32_t hashCode() const override { return static_cast<uint32_t>(text_.size()); }
  void reset() override {
    text_.clear();
    ++givenBack;
  }
  std::u16string_view className() const override { return u"s_test_Name"; }

 private:
  std::string text_;
};

class TakeOverTest : public ::testing::Test {
 protected:
  void SetUp() override { Name::givenBack = 0; }
};

// What an owning collection refuses goes back to its pool at once; what it takes goes back
// with the collection.
TEST_F(TakeOverTest, ARefusedElementGoesBackAndATakenOneStaysUntilItsCollectionGoes) {
  {
    PoolPtr<s::col::Map<Name>> set = s::col::Map<Name>::make(false, &Name::pool(), &Name::pool());
    EXPECT_TRUE(set->add(Name::of("a")));
    EXPECT_FALSE(set->add(Name::of("a")));
    EXPECT_EQ(Name::givenBack, 1);
    EXPECT_EQ(set->count(), 1u);
  }
  EXPECT_EQ(Name::givenBack, 2);

  Name::givenBack = 0;
  int value = 7;
  {
    auto* names = &Name::pool();
    auto table = s::col::MapTable<Name, Name>::make(false, names, names, names, names);
    EXPECT_TRUE(table->put(Name::of("k"), Name::of("v")));
    EXPECT_FALSE(table->put(Name::of("k"), Name::of("w")));
    EXPECT_EQ(Name::givenBack, 2) << "the refused key and value";
    EXPECT_EQ(table->count(), 1u);
  }
  EXPECT_EQ(Name::givenBack, 4);

  Name::givenBack = 0;
  auto counts =
      s::col::MapTable<Name, int>::make(false, &Name::pool(), nullptr, &Name::pool(), nullptr);
  EXPECT_TRUE(counts->put(Name::of("k"), &value));
  EXPECT_FALSE(counts->put(Name::of("k"), &value));
  EXPECT_EQ(Name::givenBack, 1) << "the refused key; the value stays the caller's";
  EXPECT_EQ(*counts->get(*Name::of("k")), 7);
}

TEST_F(TakeOverTest, AnOwningListDisposesOfTheElementItDrops) {
  s::col::ListP<Name> queue(&Name::pool());
  queue.push(Name::of("first"));
  queue.push(Name::of("second"));
  queue.disposeAt(0);
  EXPECT_EQ(Name::givenBack, 1);
  ASSERT_EQ(queue.count(), 1u);
  EXPECT_TRUE(queue.first()->equals(*Name::of("second")));

  // Without a destructor the element is only dropped: it is the caller's.
  s::col::ArrayP<Name> borrowed;
  PoolPtr<Name> kept = Name::of("kept");
  borrowed.push(kept.get());
  const int before = Name::givenBack;
  borrowed.disposeAt(0);
  EXPECT_EQ(borrowed.count(), 0u);
  EXPECT_EQ(Name::givenBack, before);
}

// Taken out of an owning list, an element is the caller's: the list neither disposes of it
// then nor when the list goes, and it goes back once, with its new holder.
TEST_F(TakeOverTest, AnElementTakenOutOfAnOwningListGoesBackOnceWithItsNewHolder) {
  PoolPtr<Name> first;
  PoolPtr<Name> last;
  {
    s::col::ListP<Name> queue(&Name::pool());
    queue.push(Name::of("first"));
    queue.push(Name::of("second"));
    queue.push(Name::of("third"));
    first = queue.takeAt(0);
    last = queue.takeLast();
    EXPECT_EQ(Name::givenBack, 0);
    EXPECT_EQ(queue.count(), 1u);
  }
  EXPECT_EQ(Name::givenBack, 1) << "only the element left in the list";
  EXPECT_TRUE(first->equals(*Name::of("first")));
  EXPECT_TRUE(last->equals(*Name::of("third")));
  Name::givenBack = 0;
  first.reset();
  last.reset();
  EXPECT_EQ(Name::givenBack, 2);
}

}  // namespace
