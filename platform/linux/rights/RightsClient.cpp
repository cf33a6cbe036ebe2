#include "platform/linux/rights/RightsClient.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <thread>
#include <utility>

#include "platform/linux/rights/Capabilities.h"
#include "platform/linux/rights/MessagePassing.h"

namespace s::platform {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr char kPathVariable[] = "NETVIGIL_RIGHTS_HELPER";
constexpr char kHelperName[] = "netvigil-rights";
// How long the helper may take to end once its channel has closed.
constexpr milliseconds kEndBound{2000};
constexpr milliseconds kReapStep{5};

std::atomic<RightsClient*> currentClient{nullptr};

std::string defaultHelperPath() {
  const char* chosen = std::getenv(kPathVariable);
  if (chosen != nullptr && *chosen != '\0') {
    return chosen;
  }
  // A build tree keeps the helper beside the program; an installed program finds it where the
  // installation put it.
  std::error_code error;
  std::filesystem::path own = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    std::filesystem::path beside = own.parent_path() / kHelperName;
    if (std::filesystem::exists(beside, error)) {
      return beside.string();
    }
  }
  return NETVIGIL_RIGHTS_INSTALLED_PATH;
}

std::string errorName(int error) {
  const char* name = strerrorname_np(error);
  return name != nullptr ? name : "errno " + std::to_string(error);
}

RightsHelperState stateAfterSpawnError(int error) {
  if (error == ENOENT || error == ENOTDIR) {
    return RightsHelperState::kNotInstalled;
  }
  // Installed for a group this user is not in (mode 0750), or on a folder it may not enter.
  if (error == EACCES || error == EPERM) {
    return RightsHelperState::kNotPermitted;
  }
  return RightsHelperState::kFailed;
}

// Waits for the helper to end, within a bound; a helper that does not is killed.
void reap(pid_t pid) {
  auto end = Clock::now() + kEndBound;
  int status = 0;
  while (Clock::now() < end) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) {
      return;
    }
    std::this_thread::sleep_for(kReapStep);
  }
  kill(pid, SIGKILL);
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

RightsClient::RightsClient(const RightsClientOptions& options) : answerBound_(options.answerBound) {
  if (missingRights() != 0) {
    start(options.helperPath.empty() ? defaultHelperPath() : options.helperPath);
  }
  currentClient.store(this, std::memory_order_release);
}

RightsClient::~RightsClient() {
  RightsClient* self = this;
  currentClient.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
  std::scoped_lock guard(exchangeLock_);
  end();
}

RightsClient* RightsClient::current() {
  return currentClient.load(std::memory_order_acquire);
}

bool RightsClient::serves(uint16_t right) const {
  return state() == RightsHelperState::kRunning && (rights_ & right) == right;
}

std::string RightsClient::statusText() const {
  std::string prefix = std::string(kHelperName) + ": ";
  switch (state()) {
    case RightsHelperState::kNotNeeded:
      return prefix + "not needed, this process holds the rights itself";
    case RightsHelperState::kNotInstalled:
      return prefix + "not installed at " + path_;
    case RightsHelperState::kNotPermitted:
      return prefix + "this user may not run " + path_ + " (not in its group)";
    case RightsHelperState::kNoRights:
      return prefix + path_ + " was installed without its capabilities";
    case RightsHelperState::kFailed:
      return prefix + path_ + " failed: " + errorName(error_.load());
    case RightsHelperState::kRunning: {
      std::string served;
      for (auto [right, name] : {std::pair{rights::kRightCapture, "capture"},
                                 std::pair{rights::kRightDestroy, "disconnect"},
                                 std::pair{rights::kRightOwners, "socket owners"}}) {
        if ((rights_ & right) != 0) {
          served += (served.empty() ? "" : ", ") + std::string(name);
        }
      }
      return prefix + "serves " + served;
    }
  }
  return prefix;
}

void RightsClient::start(const std::string& path) {
  path_ = path;
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
    error_ = errno;
    state_ = RightsHelperState::kFailed;
    return;
  }
  channel_.reset(ends[0]);
  UniqueFd helperEnd(ends[1]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The channel first, in case the pair took a standard descriptor's number.
  posix_spawn_file_actions_adddup2(&actions, helperEnd.get(), rights::kChannelFd);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  // A group of its own: the terminal's interrupt goes to the program, which then ends the
  // helper in order.
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  std::string program = path_;
  char* argv[] = {program.data(), nullptr};
  // The helper reads no environment.
  char* envp[] = {nullptr};
  int error = posix_spawn(&pid_, path_.c_str(), &actions, &attributes, argv, envp);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  helperEnd.reset();
  if (error != 0) {
    pid_ = -1;
    channel_.reset();
    error_ = error;
    state_ = stateAfterSpawnError(error);
    return;
  }
  if (!readHello()) {
    end();
  }
}

bool RightsClient::readHello() {
  rights::Answer hello;
  UniqueFd ignored;
  if (!receive(hello, ignored, answerBound_)) {
    lose(errno);
    return false;
  }
  if (hello.kind != static_cast<uint16_t>(rights::AnswerKind::kHello)) {
    lose(EPROTO);
    return false;
  }
  if (hello.error != 0) {
    error_ = hello.error;
    state_ = hello.detail == static_cast<uint16_t>(rights::HelperRefusal::kNotInGroup)
                 ? RightsHelperState::kNotPermitted
                 : RightsHelperState::kFailed;
    return false;
  }
  rights_ = static_cast<uint16_t>(hello.detail & rights::kAllRights);
  if (rights_ == 0) {
    state_ = RightsHelperState::kNoRights;
    return false;
  }
  state_ = RightsHelperState::kRunning;
  return true;
}

void RightsClient::end() {
  channel_.reset();
  if (pid_ > 0) {
    reap(pid_);
  }
}

void RightsClient::lose(int error) {
  error_ = error;
  state_ = RightsHelperState::kFailed;
}

uint32_t RightsClient::nextSequence() {
  // 0 marks an answer that could not be read.
  uint32_t sequence = 0;
  while (sequence == 0) {
    sequence = sequence_.fetch_add(1, std::memory_order_relaxed) + 1;
  }
  return sequence;
}

bool RightsClient::receive(rights::Answer& answer, UniqueFd& received,
                           std::chrono::milliseconds bound) {
  pollfd ready{channel_.get(), POLLIN, 0};
  int polled = 0;
  while ((polled = poll(&ready, 1, static_cast<int>(bound.count()))) < 0 && errno == EINTR) {
  }
  if (polled <= 0) {
    if (polled == 0) {
      errno = ETIMEDOUT;
    }
    return false;
  }
  alignas(rights::Answer) uint8_t bytes[rights::kAnswerSize];
  int flags = 0;
  ssize_t got = receiveMessage(channel_.get(), bytes, sizeof bytes, received, flags);
  if (got <= 0) {
    lose(got == 0 ? EPIPE : errno);
    errno = error_;
    return false;
  }
  if ((flags & (MSG_TRUNC | MSG_CTRUNC)) != 0 ||
      !rights::parseAnswer(bytes, static_cast<size_t>(got), answer)) {
    answer = rights::Answer{};  // sequence 0 matches no request
    received.reset();
  }
  return true;
}

bool RightsClient::exchange(rights::RequestBytes& request, rights::Answer& answer,
                            UniqueFd* received) {
  if (state() != RightsHelperState::kRunning) {
    errno = ENOTCONN;
    return false;
  }
  request.header.sequence = nextSequence();
  if (sendMessage(channel_.get(), &request, sizeof request) !=
      static_cast<ssize_t>(sizeof request)) {
    lose(errno);
    return false;
  }
  auto deadline = Clock::now() + answerBound_;
  for (;;) {
    auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      errno = ETIMEDOUT;
      return false;
    }
    UniqueFd fd;
    if (!receive(answer, fd, left)) {
      return false;
    }
    // Answers to requests whose wait ran out arrive late; they are dropped here.
    if (answer.sequence == request.header.sequence) {
      if (received != nullptr) {
        *received = std::move(fd);
      }
      return true;
    }
  }
}

RightsClient::CaptureSocket RightsClient::openCaptureSocket(int ifindex, uint16_t family,
                                                            const uint8_t (&address)[16]) {
  CaptureSocket result;
  rights::CaptureSocketRequest body;
  body.ifindex = ifindex;
  body.family = family;
  std::memcpy(body.address, address, sizeof body.address);
  rights::RequestBytes request = rights::captureSocketRequest(body);
  rights::Answer answer;
  std::scoped_lock guard(exchangeLock_);
  if (!serves(rights::kRightCapture)) {
    result.error = EPERM;
    return result;
  }
  if (!exchange(request, answer, &result.socket)) {
    result.error = errno;
    return result;
  }
  result.answered = true;
  if (answer.kind != static_cast<uint16_t>(rights::AnswerKind::kCaptureSocket) ||
      answer.error != 0 || !result.socket.valid()) {
    result.socket.reset();
    result.error = answer.error != 0 ? answer.error : EPROTO;
    result.step = answer.detail;
  }
  return result;
}

bool RightsClient::destroyTcp(const rights::DestroyTcpRequest& connection) {
  if (!serves(rights::kRightDestroy)) {
    return false;
  }
  rights::RequestBytes request = rights::destroyTcpRequest(connection, rights::kNoAnswer);
  request.header.sequence = nextSequence();
  // Sent beside any exchange in progress, and never waiting: a full socket buffer drops it.
  return send(channel_.get(), &request, sizeof request, MSG_NOSIGNAL | MSG_DONTWAIT) ==
         static_cast<ssize_t>(sizeof request);
}

bool RightsClient::findOwners(uint8_t ipProtocol, std::span<const uint64_t> inodes,
                              std::span<int32_t> pids) {
  std::fill(pids.begin(), pids.end(), 0);
  if (pids.size() < inodes.size()) {
    return false;
  }
  std::scoped_lock guard(exchangeLock_);
  if (!serves(rights::kRightOwners)) {
    return false;
  }
  rights::SocketOwnersRequest body;
  body.ipProtocol = ipProtocol;
  rights::Answer answer;
  for (size_t from = 0; from < inodes.size(); from += rights::kMaxInodes) {
    const size_t count = std::min<size_t>(rights::kMaxInodes, inodes.size() - from);
    body.count = static_cast<uint32_t>(count);
    std::fill(std::begin(body.inodes), std::end(body.inodes), 0);
    std::copy_n(inodes.begin() + static_cast<ptrdiff_t>(from), count, body.inodes);
    rights::RequestBytes request = rights::socketOwnersRequest(body);
    if (!exchange(request, answer, nullptr) ||
        answer.kind != static_cast<uint16_t>(rights::AnswerKind::kSocketOwners) ||
        answer.error != 0 || answer.count != count) {
      std::fill(pids.begin(), pids.end(), 0);
      return false;
    }
    for (size_t i = 0; i < count; ++i) {
      pids[from + i] = std::max(answer.pids[i], 0);
    }
  }
  return true;
}

}  // namespace s::platform
