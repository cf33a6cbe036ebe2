#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "network/ProcessInfo.h"

namespace s::system::network {
namespace {

std::u16string answer(const PoolPtr<str::StrBuffer>& text) {
  return std::u16string(text->view());
}

TEST(ProcessInfo, NamesAndPaths) {
  EXPECT_EQ(answer(win::getProcessName(getpid())), u"test_network");
  std::u16string path = answer(win::getProcessPath(getpid()));
  EXPECT_EQ(path.substr(path.size() - 13), u"/test_network");
  pid_t child = fork();
  if (child == 0) {
    _exit(0);
  }
  waitpid(child, nullptr, 0);
  EXPECT_EQ(answer(win::getProcessName(child)), u"UnKnown");
  EXPECT_EQ(answer(win::getProcessPath(child)), u"");
}

TEST(ProcessInfo, CloseProgramUsesTheCloserGiven) {
  struct Counting final : platform::IPoliteCloser {
    bool askToClose(int32_t pid) override {
      ++asked;
      return kill(pid, SIGUSR1) == 0;
    }
    int asked = 0;
  } closer;
  win::setPoliteCloser(&closer);
  pid_t child = fork();
  if (child == 0) {
    for (;;) {
      pause();
    }
  }
  win::closeProgram(child);
  win::setPoliteCloser(nullptr);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(closer.asked, 1);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGUSR1);
}

}  // namespace
}  // namespace s::system::network
