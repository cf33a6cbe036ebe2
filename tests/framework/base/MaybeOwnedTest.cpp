#include "framework/base/MaybeOwned.h"

#include <gtest/gtest.h>

namespace {

// A pooled class that counts how often its pool takes one back.
class Part final : public s::Pooled<Part, s::PoolableObject> {
 public:
  static inline int givenBack = 0;
  void reset() override { ++givenBack; }
  std::u16string_view className() const override { return u"s_test_Part"; }
};

class MaybeOwnedTest : public ::testing::Test {
 protected:
  void SetUp() override { Part::givenBack = 0; }
};

TEST_F(MaybeOwnedTest, AnOwnedObjectGoesBackWhenLetGoAndABorrowedOneNever) {
  s::PoolPtr<Part> borrowed = Part::make();
  {
    s::MaybeOwned<Part> holder;
    holder.set(Part::take(), true);
    EXPECT_TRUE(holder.isOwned());
    holder.set(borrowed.get(), false);  // another object: the owned one goes back
    EXPECT_EQ(Part::givenBack, 1);
    EXPECT_EQ(holder.get(), borrowed.get());
    EXPECT_FALSE(holder.isOwned());

    holder.set(Part::take(), true);
    EXPECT_EQ(Part::givenBack, 1);
    holder.reset();
    EXPECT_EQ(Part::givenBack, 2);
    EXPECT_EQ(holder.get(), nullptr);

    holder.set(Part::take(), true);
  }
  EXPECT_EQ(Part::givenBack, 3);  // the holder went with its object
}

TEST_F(MaybeOwnedTest, TheSameObjectSetAgainStaysAndOnlyItsOwnershipChanges) {
  Part* part = Part::take();
  s::MaybeOwned<Part> holder;
  holder.set(part, true);
  holder.set(part, true);
  EXPECT_EQ(Part::givenBack, 0);
  EXPECT_TRUE(holder.isOwned());

  holder.set(part, false);  // handed back to the caller
  holder.reset();
  EXPECT_EQ(Part::givenBack, 0);

  holder.set(part, false);
  holder.set(part, true);  // handed over now
  holder.reset();
  EXPECT_EQ(Part::givenBack, 1);
}

TEST_F(MaybeOwnedTest, NullIsNeverOwned) {
  s::MaybeOwned<Part> holder;
  holder.set(nullptr, true);
  EXPECT_EQ(holder.get(), nullptr);
  EXPECT_FALSE(holder.isOwned());
}

}  // namespace
