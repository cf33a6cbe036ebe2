// The helper program itself, spoken to with raw messages over its channel.
#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/capture/CaptureSocket.h"
#include "platform/linux/rights/MessagePassing.h"
#include "platform/linux/rights/RightsMessages.h"
#include "platform/linux/rights/UniqueFd.h"
#include "platform/linux/rights/helper/Sandbox.h"
#include "tests/platform/linux/Sockets.h"
#include "tests/platform/linux/rights/HelperFixture.h"

namespace s::platform::rights {
namespace {

using test::GrantedHelper;
using test::HelperGrant;
using test::kNogroup;
using test::kOtherGroup;

constexpr uid_t kNobody = 65534;
constexpr int kAnswerBoundMs = 5000;

// Receives a message and the descriptor that came with it, within the bound.
ssize_t receiveWithFd(int socket, void* bytes, size_t size, UniqueFd& fd, int boundMs) {
  pollfd readable{socket, POLLIN, 0};
  int flags = 0;
  return poll(&readable, 1, boundMs) <= 0 ? -1 : receiveMessage(socket, bytes, size, fd, flags);
}

// The helper at `path`, run as nobody with `group` as its only group, over a channel that
// nobody's process made. The test holds the other end.
class RawHelper {
 public:
  RawHelper(const std::string& path, gid_t group) {
    int link[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, link) != 0) {
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      close(link[0]);
      int channel[2];
      if (setgroups(0, nullptr) != 0 || setresgid(group, group, group) != 0 ||
          setresuid(kNobody, kNobody, kNobody) != 0 ||
          socketpair(AF_UNIX, SOCK_SEQPACKET, 0, channel) != 0) {
        _exit(120);
      }
      char byte = 0;
      if (sendMessage(link[1], &byte, 1, channel[0]) != 1 || dup2(channel[1], kChannelFd) < 0) {
        _exit(121);
      }
      close_range(kChannelFd + 1, ~0U, 0);
      char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
      char* envp[] = {nullptr};
      execve(argv[0], argv, envp);
      _exit(127);
    }
    close(link[1]);
    char byte = 0;
    receiveWithFd(link[0], &byte, 1, channel_, kAnswerBoundMs);
    close(link[0]);
  }

  ~RawHelper() {
    channel_.reset();
    exitStatus();
  }
  RawHelper(const RawHelper&) = delete;
  RawHelper& operator=(const RawHelper&) = delete;

  bool started() const { return pid_ > 0 && channel_.valid(); }
  pid_t pid() const { return pid_; }
  int channel() const { return channel_.get(); }
  void closeChannel() { channel_.reset(); }

  bool send(const RequestBytes& request, int fd = -1) {
    return sendMessage(channel_.get(), &request, sizeof request, fd) ==
           static_cast<ssize_t>(sizeof request);
  }
  bool sendBytes(const void* bytes, size_t size) {
    return sendMessage(channel_.get(), bytes, size) == static_cast<ssize_t>(size);
  }
  bool receive(Answer& answer, UniqueFd* fd = nullptr) {
    alignas(Answer) uint8_t bytes[kAnswerSize + 1];
    UniqueFd received;
    ssize_t got = receiveWithFd(channel_.get(), bytes, sizeof bytes, received, kAnswerBoundMs);
    if (fd != nullptr) {
      *fd = std::move(received);
    }
    return got > 0 && parseAnswer(bytes, static_cast<size_t>(got), answer);
  }

  // The helper's exit status, once it has ended (within a bound); -1 when it did not.
  int exitStatus() {
    if (pid_ <= 0) {
      return status_;
    }
    for (int i = 0; i < 500; ++i) {
      int raw = 0;
      if (waitpid(pid_, &raw, WNOHANG) == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        pid_ = -1;
        return status_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  UniqueFd channel_;
};

class HelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) {
      GTEST_SKIP() << "granting the helper's capabilities needs root";
    }
  }
};

RequestBytes ownersOf(uint64_t inode) {
  SocketOwnersRequest body;
  body.ipProtocol = IPPROTO_TCP;
  body.count = 1;
  body.inodes[0] = inode;
  return socketOwnersRequest(body);
}

TEST_F(HelperTest, HoldsOnlyItsCapabilitiesEffectiveNoneAndIsLockedDown) {
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  RawHelper helper(granted.path(), kNogroup);
  ASSERT_TRUE(helper.started());
  Answer hello;
  ASSERT_TRUE(helper.receive(hello));
  EXPECT_EQ(hello.kind, static_cast<uint16_t>(AnswerKind::kHello));
  EXPECT_EQ(hello.error, 0);
  EXPECT_EQ(hello.detail, kAllRights);
  // CAP_DAC_READ_SEARCH (2), CAP_NET_ADMIN (12), CAP_NET_RAW (13), CAP_SYS_PTRACE (19).
  EXPECT_EQ(test::statusField(helper.pid(), "CapPrm"), "0000000000083004");
  EXPECT_EQ(test::statusField(helper.pid(), "CapEff"), "0000000000000000");
  EXPECT_EQ(test::statusField(helper.pid(), "CapInh"), "0000000000000000");
  EXPECT_EQ(test::statusField(helper.pid(), "CapAmb"), "0000000000000000");
  EXPECT_EQ(test::statusField(helper.pid(), "NoNewPrivs"), "1");
  EXPECT_EQ(test::statusField(helper.pid(), "Seccomp"), sandboxFiltersCalls() ? "2" : "0");
  EXPECT_EQ(test::statusField(helper.pid(), "Uid").substr(0, 5), "65534");
  // Still so after serving a request that raised a right.
  ASSERT_TRUE(helper.send(ownersOf(1)));
  Answer answer;
  ASSERT_TRUE(helper.receive(answer));
  EXPECT_EQ(test::statusField(helper.pid(), "CapEff"), "0000000000000000");
  helper.closeChannel();
  EXPECT_EQ(helper.exitStatus(), 0);
}

TEST_F(HelperTest, RefusesMalformedRequestsAndKeepsServing) {
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  RawHelper helper(granted.path(), kNogroup);
  ASSERT_TRUE(helper.started());
  Answer answer;
  ASSERT_TRUE(helper.receive(answer));

  auto expectRefusal = [&](RequestCheck check, const char* what) {
    Answer refusal;
    ASSERT_TRUE(helper.receive(refusal)) << what;
    EXPECT_EQ(refusal.kind, static_cast<uint16_t>(AnswerKind::kRefusal)) << what;
    EXPECT_EQ(refusal.error, EINVAL) << what;
    EXPECT_EQ(refusal.detail, static_cast<uint16_t>(check))
        << what << ": " << requestCheckName(static_cast<RequestCheck>(refusal.detail));
  };
  RequestBytes wrongKind = ownersOf(5);
  wrongKind.header.kind = 9;
  ASSERT_TRUE(helper.send(wrongKind));
  expectRefusal(RequestCheck::kUnknownKind, "kind 9");
  RequestBytes zeroCount = ownersOf(5);
  zeroCount.body[4] = 0;  // the count
  ASSERT_TRUE(helper.send(zeroCount));
  expectRefusal(RequestCheck::kBadCount, "count 0");
  uint8_t shortRequest[8] = {1, 0, 3, 0};
  ASSERT_TRUE(helper.sendBytes(shortRequest, sizeof shortRequest));
  expectRefusal(RequestCheck::kWrongSize, "eight bytes");
  std::vector<uint8_t> longRequest(kRequestSize + 64, 0);
  ASSERT_TRUE(helper.sendBytes(longRequest.data(), longRequest.size()));
  expectRefusal(RequestCheck::kWrongSize, "too long");
  ASSERT_TRUE(helper.sendBytes(nullptr, 0));
  expectRefusal(RequestCheck::kWrongSize, "empty");
  // A descriptor sent along is refused and closed, not kept by the helper.
  UniqueFd extra(open("/dev/null", O_RDONLY | O_CLOEXEC));
  ASSERT_TRUE(helper.send(ownersOf(5), extra.get()));
  expectRefusal(RequestCheck::kAncillaryData, "with a descriptor");

  // The capture of an address the interface does not hold, of either family.
  UniqueFd socket;
  for (const char* address : {"10.213.9.9", "fd00::9"}) {
    CaptureSocketRequest capture;
    capture.ifindex = 1;
    capture.family = std::strchr(address, ':') != nullptr ? AF_INET6 : AF_INET;
    inet_pton(capture.family, address, capture.address);
    ASSERT_TRUE(helper.send(captureSocketRequest(capture)));
    ASSERT_TRUE(helper.receive(answer, &socket));
    EXPECT_EQ(answer.kind, static_cast<uint16_t>(AnswerKind::kCaptureSocket)) << address;
    EXPECT_EQ(answer.error, EADDRNOTAVAIL) << address;
    EXPECT_EQ(answer.detail, static_cast<uint16_t>(CaptureStep::kInterfaceLookup)) << address;
    EXPECT_FALSE(socket.valid()) << address;
  }

  // Then a good request is answered, under its own sequence number.
  RequestBytes good = ownersOf(12345678901ULL);
  good.header.sequence = 41;
  ASSERT_TRUE(helper.send(good));
  ASSERT_TRUE(helper.receive(answer));
  EXPECT_EQ(answer.kind, static_cast<uint16_t>(AnswerKind::kSocketOwners));
  EXPECT_EQ(answer.sequence, 41U);
  EXPECT_EQ(answer.count, 1U);
  EXPECT_EQ(answer.pids[0], 0);
  // Past the standard descriptors it holds the channel and its /proc folder, not what it was
  // sent.
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(
           "/proc/" + std::to_string(helper.pid()) + "/fd", ignored)) {
    if (std::stoi(entry.path().filename().string()) > 2) {
      std::string target = std::filesystem::read_symlink(entry.path(), ignored).string();
      EXPECT_TRUE(target == "/proc" || target.rfind("socket:", 0) == 0) << target;
    }
  }
  helper.closeChannel();
  EXPECT_EQ(helper.exitStatus(), 0);
}

TEST_F(HelperTest, RefusesToRunForACallerNotInItsGroup) {
  // Executable by anyone, as a mistaken installation might leave it: the helper's own check
  // is what stops the caller.
  GrantedHelper granted({kOtherGroup, 0755, true});
  ASSERT_TRUE(granted.ok());
  RawHelper helper(granted.path(), kNogroup);
  ASSERT_TRUE(helper.started());
  Answer hello;
  ASSERT_TRUE(helper.receive(hello));
  EXPECT_EQ(hello.kind, static_cast<uint16_t>(AnswerKind::kHello));
  EXPECT_EQ(hello.error, EPERM);
  EXPECT_EQ(hello.detail, static_cast<uint16_t>(HelperRefusal::kNotInGroup));
  EXPECT_EQ(helper.exitStatus(), 3);

  // Its group's member is served.
  RawHelper member(granted.path(), kOtherGroup);
  ASSERT_TRUE(member.started());
  ASSERT_TRUE(member.receive(hello));
  EXPECT_EQ(hello.error, 0);
  EXPECT_EQ(hello.detail, kAllRights);
}

TEST_F(HelperTest, InstalledWithoutCapabilitiesItHoldsNoRights) {
  GrantedHelper granted({kNogroup, 0750, false});
  ASSERT_TRUE(granted.ok());
  RawHelper helper(granted.path(), kNogroup);
  ASSERT_TRUE(helper.started());
  Answer hello;
  ASSERT_TRUE(helper.receive(hello));
  EXPECT_EQ(hello.error, 0);
  EXPECT_EQ(hello.detail, 0);
  EXPECT_EQ(test::statusField(helper.pid(), "CapPrm"), "0000000000000000");
  // Asked anyway, it answers that it may not.
  ASSERT_TRUE(helper.send(ownersOf(7)));
  Answer answer;
  ASSERT_TRUE(helper.receive(answer));
  EXPECT_EQ(answer.error, EPERM);
}

TEST_F(HelperTest, StartedByHandItExplainsAndEnds) {
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  EXPECT_EQ(test::run({granted.path()}), 4);
  EXPECT_EQ(test::run({granted.path(), "--help"}), 4);
}

}  // namespace
}  // namespace s::platform::rights
