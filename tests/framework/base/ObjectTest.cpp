#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "framework/base/Cleaners.h"
#include "framework/base/ObjLocker.h"
#include "framework/base/Pooled.h"

namespace {

class Plain final : public s::IObject {
 public:
  std::u16string_view className() const override { return u"s_test_Plain"; }
  s::ObjectPtr newInstance() const override { return s::ObjectPtr(new Plain()); }
};

class Other final : public s::IObject {
 public:
  std::u16string_view className() const override { return u"s_test_Other"; }
  s::ObjectPtr newInstance() const override { return s::ObjectPtr(new Other()); }
};

// Orders Plain objects as if they were all equal.
class AllEqual final : public s::IComparator<s::IObject> {
 public:
  int compare(const s::IObject&, const s::IObject&) const override { return 0; }
  int compareIgnoreCase(const s::IObject&, const s::IObject&) const override { return 1; }
};

TEST(ObjectTest, WithoutComparatorObjectsOrderByAddress) {
  Plain objects[2];
  EXPECT_EQ(objects[0].compareTo(objects[0]), 0);
  EXPECT_EQ(objects[0].compareTo(objects[1]), -1);
  EXPECT_EQ(objects[1].compareTo(objects[0]), 1);
  EXPECT_FALSE(objects[0].equals(objects[1]));
  EXPECT_TRUE(objects[0].equalsIgnoreCase(objects[0], nullptr));
}

TEST(ObjectTest, AComparatorDecides) {
  Plain a, b;
  AllEqual comparator;
  EXPECT_TRUE(a.equals(b, &comparator));
  EXPECT_EQ(a.compareToIgnoreCase(b, &comparator), 1);
  EXPECT_FALSE(a.equalsIgnoreCase(b, &comparator));
}

TEST(ObjectTest, HashIsConstantPerConcreteClass) {
  Plain a, b;
  Other c;
  EXPECT_EQ(a.hashCode(), b.hashCode());
  EXPECT_EQ(a.hashCodeIgnoreCase(), a.hashCode());
  EXPECT_NE(a.hashCode(), c.hashCode());
}

// Tells when it is destroyed.
class Tracked final : public s::IObject {
 public:
  explicit Tracked(int* deaths) : deaths_(deaths) {}
  ~Tracked() override { ++*deaths_; }
  std::u16string_view className() const override { return u"s_test_Tracked"; }
  s::ObjectPtr newInstance() const override { return s::ObjectPtr(new Tracked(deaths_)); }

 private:
  int* deaths_;
};

int freed = 0;
void freeTracked(Tracked* tracked) {
  ++freed;
  delete tracked;
}

TEST(ObjLockerTest, DisposesOfItsObjectTheWayItWasGiven) {
  int deaths = 0;
  freed = 0;
  {
    s::thread::ObjLocker locker;
    EXPECT_EQ(locker.object(), nullptr);
    locker.own(new Tracked(&deaths), freeTracked);
  }
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(deaths, 1);
  {
    s::thread::ObjLocker locker;
    locker.own<Tracked>(new Tracked(&deaths), s::CleanerIObject<Tracked>::instance());
    // Owning a second object disposes of the first.
    locker.own(new Tracked(&deaths));
    EXPECT_EQ(deaths, 2);
  }
  EXPECT_EQ(deaths, 3);
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(s::thread::ObjLocker().className(), u"s_thread_ObjLocker");
}

TEST(ObjLockerTest, IsRecursiveAndExcludesOtherThreads) {
  s::thread::ObjLocker locker;
  locker.lock();
  locker.lock();
  bool otherGotIt = true;
  std::thread([&] { otherGotIt = locker.try_lock(); }).join();
  EXPECT_FALSE(otherGotIt);
  locker.unlock();
  locker.unlock();
  std::thread([&] {
    otherGotIt = locker.try_lock();
    if (otherGotIt) {
      locker.unlock();
    }
  }).join();
  EXPECT_TRUE(otherGotIt);
}

TEST(CleanerTest, EachFreesItsKindAndNullsTheSlot) {
  int deaths = 0;
  Tracked* tracked = new Tracked(&deaths);
  s::CleanerIObject<Tracked>::instance().destroy(tracked);
  EXPECT_EQ(tracked, nullptr);
  EXPECT_EQ(deaths, 1);

  auto* raw = static_cast<char*>(std::malloc(16));
  s::CleanerRaw<char>::instance().destroy(raw);
  EXPECT_EQ(raw, nullptr);

  int* value = new int(3);
  s::CleanerRawObject<int>::instance().destroy(value);
  EXPECT_EQ(value, nullptr);

  Tracked* none = nullptr;
  s::CleanerIObject<Tracked>::instance().destroy(none);
  EXPECT_EQ(deaths, 1);
}

}  // namespace
