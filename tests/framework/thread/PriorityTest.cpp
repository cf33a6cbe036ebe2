#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "framework/thread/Thread.h"
#include "tests/framework/thread/Tasks.h"

namespace {

using s::test::Recorder;
using s::thread::win::Thread;

constexpr uint32_t kSysNice = 1u << CAP_SYS_NICE;

bool readCapabilities(__user_cap_header_struct& header, __user_cap_data_struct (&data)[2]) {
  header = {_LINUX_CAPABILITY_VERSION_3, 0};
  return syscall(SYS_capget, &header, data) == 0;
}

// Whether this thread may lower nice values down to -5.
bool mayRaisePriority() {
  __user_cap_header_struct header{};
  __user_cap_data_struct data[2]{};
  if (readCapabilities(header, data) && (data[0].effective & kSysNice) != 0) {
    return true;
  }
  rlimit limit{};
  return getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur >= 25;
}

// Leaves this thread, and the threads it makes, without the right to raise priorities.
bool dropPriorityRights() {
  __user_cap_header_struct header{};
  __user_cap_data_struct data[2]{};
  if (!readCapabilities(header, data)) {
    return false;
  }
  data[0].effective &= ~kSysNice;
  const rlimit none{0, 0};
  return syscall(SYS_capset, &header, data) == 0 && setrlimit(RLIMIT_NICE, &none) == 0;
}

class PriorityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (getpriority(PRIO_PROCESS, 0) != 0) {
      GTEST_SKIP() << "the test process does not run at nice 0";
    }
  }
};

TEST_F(PriorityTest, SetsTheWorkersNiceValue) {
  if (!mayRaisePriority()) {
    GTEST_SKIP() << "no CAP_SYS_NICE nor RLIMIT_NICE to raise priorities";
  }
  struct Case {
    int priority;
    int nice;
  };
  Thread thread;
  EXPECT_EQ(thread.priority(), 0);
  for (const Case c : {Case{1, -5}, Case{-1, 5}, Case{0, 0}, Case{1, -5}}) {
    SCOPED_TRACE(c.priority);
    EXPECT_TRUE(thread.setPriority(c.priority));
    EXPECT_EQ(getpriority(PRIO_PROCESS, thread.threadId()), c.nice);
    EXPECT_EQ(thread.priority(), c.priority);
    // The caller's own priority is not touched.
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), 0);
  }
  EXPECT_FALSE(thread.setPriority(2));
  EXPECT_EQ(thread.priority(), 1);
  thread.reset();
  EXPECT_EQ(thread.priority(), 0);
}

// Each failed check gives the child a distinct exit code.
int unprivilegedChecks() {
  if (!dropPriorityRights()) {
    return 10;
  }
  Thread thread;
  if (thread.setPriority(1) || thread.priority() != 0) {
    return 11;
  }
  if (!thread.setPriority(-1) || thread.priority() != -1) {
    return 12;
  }
  // Back up from below normal is a raise too.
  if (thread.setPriority(0) || thread.priority() != -1) {
    return 13;
  }
  const uint32_t oldId = thread.threadId();
  thread.reset();
  if (thread.priority() != 0 || thread.threadId() == oldId) {
    return 14;
  }
  Recorder recorder;
  thread.runOnce(&recorder);
  thread.waitIdle();
  return recorder.runs() == 1 ? 0 : 15;
}

TEST_F(PriorityTest, WithoutRightsRaisingFailsAndChangesNothing) {
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    _exit(unprivilegedChecks());
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "see unprivilegedChecks() for the failed check";
}

}  // namespace
