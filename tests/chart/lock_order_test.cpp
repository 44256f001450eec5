// The chart's named locks: one recursive mutex per name in the process, and the order checker
// that catches "tdstream" before "tdlock" and "tdroutewrite" under "tdlock".
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "chart/DMLock.h"

namespace {

class LockOrder : public ::testing::Test {
 protected:
  void SetUp() override { CDMLock::TakeOrderBreaches(); }
  void TearDown() override { EXPECT_TRUE(CDMLock::HeldByThisThread().empty()); }
};

TEST_F(LockOrder, SameNameIsOneLockAcrossObjectsAndThreads) {
  CDMLock mine(DMLOCK_ROUTEWRITE);
  CDMLock again(DMLOCK_ROUTEWRITE);
  ASSERT_TRUE(mine.Lock());
  // The window thread re-enters it through another object of the same name.
  ASSERT_TRUE(again.Lock());
  std::atomic<int> got{-1};
  std::thread other([&] {
    CDMLock theirs(DMLOCK_ROUTEWRITE);
    got = theirs.Lock(20) ? 1 : 0;
    if (got) theirs.Unlock();
  });
  other.join();
  EXPECT_EQ(got.load(), 0) << "another thread got a lock this thread holds";
  EXPECT_TRUE(again.Unlock());
  EXPECT_TRUE(mine.Unlock());
  EXPECT_FALSE(mine.Unlock()) << "unlocking a lock not held";
  std::thread later([&] {
    CDMLock theirs(DMLOCK_ROUTEWRITE);
    got = theirs.Lock(1000) ? 1 : 0;
    if (got) theirs.Unlock();
  });
  later.join();
  EXPECT_EQ(got.load(), 1);
}

TEST_F(LockOrder, DifferentNamesDoNotExcludeEachOther) {
  CDMLock a(DMLOCK_DRIFT);
  ASSERT_TRUE(a.Lock());
  std::atomic<int> got{0};
  std::thread other([&] {
    CDMLock b(DMLOCK_DRIFTABORT);
    got = b.Lock(1000);
    b.Unlock();
  });
  other.join();
  EXPECT_EQ(got.load(), 1);
  a.Unlock();
}

struct OrderCase {
  const char* first;
  const char* second;
  bool breach;
};

TEST_F(LockOrder, CheckerFlagsOnlyTheWrongOrders) {
  const OrderCase cases[] = {
      {DMLOCK_STREAMRUN, DMLOCK_STREAM, false},    {DMLOCK_STREAM, DMLOCK_STREAMRUN, true},
      {DMLOCK_STREAMRUN, DMLOCK_ROUTEWRITE, true}, {DMLOCK_ROUTEWRITE, DMLOCK_STREAMRUN, false},
      {DMLOCK_ROUTEWRITE, DMLOCK_DRIFT, false},    {DMLOCK_ROUTEWRITE, DMLOCK_DRIFTABORT, false},
      {DMLOCK_STREAMRUN, DMLOCK_ABORT, false},
  };
  for (const OrderCase& c : cases) {
    CDMLock first(c.first), second(c.second);
    first.Lock();
    second.Lock();
    second.Unlock();
    first.Unlock();
    const auto breaches = CDMLock::TakeOrderBreaches();
    EXPECT_EQ(!breaches.empty(), c.breach) << c.first << " then " << c.second;
    if (c.breach && !breaches.empty()) {
      EXPECT_NE(breaches[0].find(c.second), std::string::npos) << breaches[0];
    }
  }
}

TEST_F(LockOrder, ReenteringTheStreamRunLockUnderTheGridLockIsNoBreach) {
  CDMLock run(DMLOCK_STREAMRUN), grid(DMLOCK_STREAM), runAgain(DMLOCK_STREAMRUN);
  run.Lock();
  grid.Lock();
  runAgain.Lock();  // already held: no new order is made
  runAgain.Unlock();
  grid.Unlock();
  run.Unlock();
  EXPECT_TRUE(CDMLock::TakeOrderBreaches().empty());
}

TEST_F(LockOrder, HeldLocksAreTrackedPerThread) {
  CDMLock a(DMLOCK_STREAMRUN), b(DMLOCK_STREAM);
  a.Lock();
  b.Lock();
  EXPECT_EQ(CDMLock::HeldByThisThread(), (std::vector<std::string>{DMLOCK_STREAMRUN, DMLOCK_STREAM}));
  std::vector<std::string> seen{"x"};
  std::thread([&] { seen = CDMLock::HeldByThisThread(); }).join();
  EXPECT_TRUE(seen.empty());
  b.Unlock();
  a.Unlock();
}

}  // namespace
