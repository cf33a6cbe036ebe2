#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "platform/linux/instance/SingleInstance.h"

extern char** environ;

namespace s::platform {
namespace {

using namespace std::chrono_literals;

// A name no other test program uses at the same time.
std::string uniqueName(const std::string& what) {
  return "netvigil-test-" + std::to_string(getpid()) + "-" + what;
}

// A probe process (instance_probe, optionally under a prefix such as setpriv) with a pipe to
// its standard input, which holds it, and one from its output.
class Probe {
 public:
  explicit Probe(const std::vector<std::string>& argv) {
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
      args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    in_ = in[1];
    out_ = out[0];
  }
  ~Probe() {
    closeInput();
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) {
      close(out_);
    }
  }
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  // The next line it prints, empty when none came within the bound.
  std::string line(std::chrono::milliseconds bound = 10s) {
    const auto end = std::chrono::steady_clock::now() + bound;
    for (;;) {
      size_t newline = buffer_.find('\n');
      if (newline != std::string::npos) {
        std::string text = buffer_.substr(0, newline);
        buffer_.erase(0, newline + 1);
        return text;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      pollfd ready{out_, POLLIN, 0};
      char chunk[256];
      ssize_t got = 0;
      if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1 ||
          (got = read(out_, chunk, sizeof chunk)) <= 0) {
        return {};
      }
      buffer_.append(chunk, static_cast<size_t>(got));
    }
  }
  void closeInput() {
    if (in_ >= 0) {
      close(in_);
      in_ = -1;
    }
  }
  void killHard() { kill(pid_, SIGKILL); }
  // The exit status, -1 when it did not end normally within the bound.
  int wait(std::chrono::milliseconds bound = 10s) {
    const auto end = std::chrono::steady_clock::now() + bound;
    int status = 0;
    while (pid_ > 0) {
      pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() > end) {
        return -1;
      }
      std::this_thread::sleep_for(5ms);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  std::string buffer_;
};

// The probe's command; its first instance ends after `messages` messages.
std::vector<std::string> probe(const std::string& name, std::vector<std::string> prefix = {},
                               int messages = 2) {
  prefix.push_back(INSTANCE_PROBE);
  prefix.push_back(name);
  prefix.push_back(std::to_string(messages));
  return prefix;
}

TEST(InstanceName, IsTheProgramTheUserAndTheDisplayWithoutItsScreen) {
  const std::pair<std::string_view, std::string> cases[] = {
      {":0", "netvigil-1000-:0"},
      {":0.0", "netvigil-1000-:0"},
      {":12.3", "netvigil-1000-:12"},
      {"localhost:10.0", "netvigil-1000-localhost:10"},
      {"host.example:1", "netvigil-1000-host.example:1"},
      {"", "netvigil-1000-"},
  };
  for (const auto& [display, name] : cases) {
    EXPECT_EQ(instanceName("netvigil", 1000, display), name) << display;
  }
}

TEST(SingleInstance, ASecondStartHandsItsMessagesToTheFirstAndEnds) {
  for (const std::vector<std::string>& prefix :
       {std::vector<std::string>{},
        // As a user without privileges runs it.
        std::vector<std::string>{"setpriv", "--reuid=nobody", "--regid=nogroup",
                                 "--clear-groups"}}) {
    if (!prefix.empty() && getuid() != 0) {
      continue;
    }
    const std::string name = uniqueName("pair");
    Probe first(probe(name, prefix));
    ASSERT_EQ(first.line(), "first");
    Probe second(probe(name, prefix));
    EXPECT_EQ(second.line(), "other");
    EXPECT_EQ(second.wait(), 0);
    EXPECT_EQ(first.line(), "message 1027");
    EXPECT_EQ(first.line(), "message 1031");
    EXPECT_EQ(first.wait(), 0);
  }
}

TEST(SingleInstance, AKilledFirstInstanceLeavesNothingThatBlocks) {
  const std::string name = uniqueName("killed");
  {
    Probe first(probe(name));
    ASSERT_EQ(first.line(), "first");
    first.killHard();
    first.wait();
  }
  Probe next(probe(name));
  EXPECT_EQ(next.line(), "first");
}

TEST(SingleInstance, OfStartsAtTheSameTimeOneIsFirst) {
  const std::string name = uniqueName("race");
  std::vector<std::unique_ptr<Probe>> probes;
  for (int i = 0; i < 6; ++i) {
    probes.push_back(std::make_unique<Probe>(probe(name, {}, 100)));
  }
  int firsts = 0;
  int others = 0;
  for (auto& p : probes) {
    const std::string said = p->line();
    firsts += said == "first" ? 1 : 0;
    others += said == "other" ? 1 : 0;
  }
  EXPECT_EQ(firsts, 1);
  EXPECT_EQ(others, 5);
}

// Sockets in the test's own process, for what a real second start never does.
int connectTo(const std::string& name) {
  int socket = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  if (connect(socket, reinterpret_cast<sockaddr*>(&address), length) != 0) {
    close(socket);
    return -1;
  }
  return socket;
}

TEST(SingleInstance, CallersThatSendNothingOrGarbageNeverHoldTheFirstInstanceUp) {
  const std::string name = uniqueName("silent");
  SingleInstance first;
  const std::array<InstanceMessage, 1> none = {InstanceMessage::kNotify};
  ASSERT_EQ(first.claim(name, none), SingleInstance::Claim::kFirst);
  std::vector<InstanceMessage> heard;
  first.setHandler([&heard](InstanceMessage message) { heard.push_back(message); });
  // More silent callers than are kept, and one that sends what is not ours.
  std::vector<int> silent;
  for (int i = 0; i < 12; ++i) {
    silent.push_back(connectTo(name));
    ASSERT_GE(silent.back(), 0);
  }
  int garbage = connectTo(name);
  const char junk[] = "not a packet of ours";
  ASSERT_GT(send(garbage, junk, sizeof junk, 0), 0);
  first.serve();
  first.serve();
  EXPECT_TRUE(heard.empty());
  // A real later start is still heard.
  SingleInstance second;
  const std::array<InstanceMessage, 2> messages = {InstanceMessage::kShowYourself,
                                                   InstanceMessage::kNotify};
  EXPECT_EQ(second.claim(name, messages), SingleInstance::Claim::kOtherRunning);
  EXPECT_EQ(second.fd(), -1);
  for (int i = 0; i < 100 && heard.size() < 2; ++i) {
    pollfd ready{first.fd(), POLLIN, 0};
    poll(&ready, 1, 50);
    first.serve();
  }
  EXPECT_EQ(heard, std::vector<InstanceMessage>(messages.begin(), messages.end()));
  for (int fd : silent) {
    close(fd);
  }
  close(garbage);
}

TEST(SingleInstance, ANameHeldByAnotherUsersProcessIsNotTalkedTo) {
  if (getuid() != 0) {
    GTEST_SKIP() << "needs root to start a process of another user";
  }
  const std::string name = uniqueName("squatter");
  // Another user's process holds the name: it hears nothing, and this start runs unguarded.
  Probe squatter(probe(name, {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"}));
  ASSERT_EQ(squatter.line(), "first");
  Probe mine(probe(name));
  EXPECT_EQ(mine.line(), "unavailable");
  EXPECT_EQ(mine.wait(), 3);
  squatter.closeInput();
  EXPECT_EQ(squatter.line(1s), "");
  EXPECT_EQ(squatter.wait(), 0);
}

}  // namespace
}  // namespace s::platform
