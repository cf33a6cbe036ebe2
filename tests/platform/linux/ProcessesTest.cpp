#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/linux/Processes.h"
#include "tests/platform/linux/Sockets.h"
#include "tests/support/TempFolder.h"

namespace s::platform {
namespace {

// A child that sleeps until signalled; with `ignoreTerm` it shrugs off SIGTERM.
pid_t sleeper(bool ignoreTerm) {
  int ready[2];
  if (pipe(ready) != 0) {
    return -1;
  }
  pid_t child = fork();
  if (child == 0) {
    if (ignoreTerm) {
      signal(SIGTERM, SIG_IGN);
    }
    close(ready[1]);
    for (;;) {
      pause();
    }
  }
  // The child is ready once it has closed its end.
  close(ready[1]);
  char byte = 0;
  while (read(ready[0], &byte, 1) > 0) {
  }
  close(ready[0]);
  return child;
}

int signalOf(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

TEST(ProcessIdentity, OwnProcessAndMissingOne) {
  std::string path;
  processPath(getpid(), path);
  EXPECT_EQ(path, std::filesystem::read_symlink("/proc/self/exe").string());
  std::string name;
  processName(getpid(), name);
  EXPECT_EQ(name, std::filesystem::path(path).filename().string());
  EXPECT_TRUE(isProcessAlive(getpid()));

  // A reaped child's pid is gone.
  pid_t child = fork();
  if (child == 0) {
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  processName(child, name);
  processPath(child, path);
  EXPECT_EQ(name, "UnKnown");
  EXPECT_EQ(path, "");
  EXPECT_FALSE(isProcessAlive(child));
}

TEST(ProcessIdentity, KernelThreadHasCommNameAndNoPath) {
  // kthreadd has no executable but a command name.
  std::string name;
  std::string path;
  processName(2, name);
  processPath(2, path);
  EXPECT_EQ(name, "kthreadd");
  EXPECT_EQ(path, "");
}

TEST(ProcessControl, CloseEndsAProcessThatHonoursTheRequest) {
  pid_t child = sleeper(false);
  closeProcess(child);
  EXPECT_FALSE(isProcessAlive(child));
  // Ended by the request, not by the kill that follows the grace.
  EXPECT_EQ(signalOf(child), SIGTERM);
}

TEST(ProcessControl, CloseKillsAProcessThatIgnoresTheRequestAfterTheGrace) {
  pid_t child = sleeper(true);
  closeProcess(child);
  EXPECT_EQ(signalOf(child), SIGKILL);
}

TEST(ProcessControl, CloseKillsAtOnceWhenTheRequestCannotBeMade) {
  struct Refusing final : IPoliteCloser {
    bool askToClose(int32_t /*pid*/) override { return false; }
  } refusing;
  pid_t child = sleeper(false);
  closeProcess(child, refusing);
  EXPECT_EQ(signalOf(child), SIGKILL);
}

TEST(ProcessControl, Kill) {
  pid_t child = sleeper(true);
  killProcess(child);
  EXPECT_EQ(signalOf(child), SIGKILL);
}

TEST(ProcessControl, AnotherUsersProcessIsLeftAlone) {
  pid_t target = sleeper(false);
  int status = 0;
  test::rowsFromChild(
      [&](int /*out*/) {
        if (!test::becomeNobody()) {
          _exit(2);
        }
        closeProcess(target);
        killProcess(target);
        _exit(0);
      },
      status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(isProcessAlive(target));
  kill(target, SIGKILL);
  EXPECT_EQ(signalOf(target), SIGKILL);
}

TEST(ProcessControl, FindsAnotherInstanceByExecutablePath) {
  // A private copy of a program, so no other process on the machine runs the same file.
  std::filesystem::path copy =
      std::filesystem::temp_directory_path() / ("nvtest-sleep-" + std::to_string(getpid()));
  std::filesystem::copy_file("/bin/sleep", copy, std::filesystem::copy_options::overwrite_existing);
  pid_t child = fork();
  if (child == 0) {
    execl(copy.c_str(), copy.c_str(), "30", static_cast<char*>(nullptr));
    _exit(127);
  }
  // Until the exec has happened the child still runs this program.
  std::string path;
  for (int i = 0; i < 200 && path != copy.string(); ++i) {
    usleep(10'000);
    processPath(child, path);
  }
  int32_t found = 0;
  EXPECT_TRUE(findProcessByPath(copy.string(), getpid(), found));
  EXPECT_EQ(found, child);
  EXPECT_FALSE(findProcessByPath(copy.string(), child, found));
  EXPECT_FALSE(findProcessByPath("", 0, found));
  killProcess(child);
  signalOf(child);
  std::filesystem::remove(copy);
}

TEST(ProcessIdentity, AReplacedProgramKeepsTheNameAndPathItStartedFrom) {
  s::test::TempFolder folder;
  std::filesystem::path program = folder.path("nv-replaced");
  std::filesystem::path odd = folder.path("nv-odd (deleted)");
  std::filesystem::copy_file("/bin/sleep", program);
  std::filesystem::copy_file("/bin/sleep", odd);
  auto start = [](const std::filesystem::path& file) {
    pid_t child = fork();
    if (child == 0) {
      execl(file.c_str(), file.c_str(), "30", static_cast<char*>(nullptr));
      _exit(127);
    }
    std::string path;
    for (int i = 0; i < 200 && path != file.string(); ++i) {
      usleep(10'000);
      processPath(child, path);
    }
    return child;
  };
  pid_t replaced = start(program);
  pid_t oddlyNamed = start(odd);
  // An upgrade writes the new file beside the old and renames it over it.
  std::filesystem::copy_file("/bin/sleep", folder.path("nv-replaced.new"));
  std::filesystem::rename(folder.path("nv-replaced.new"), program);
  std::string path;
  std::string name;
  processPath(replaced, path);
  processName(replaced, name);
  EXPECT_EQ(path, program.string());
  EXPECT_EQ(name, "nv-replaced");
  // A file that is called so and still there keeps its whole name.
  processPath(oddlyNamed, path);
  EXPECT_EQ(path, odd.string());
  for (pid_t child : {replaced, oddlyNamed}) {
    killProcess(child);
    signalOf(child);
  }
}

}  // namespace
}  // namespace s::platform
