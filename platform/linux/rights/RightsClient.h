#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

#include "platform/linux/rights/RightsMessages.h"
#include "platform/linux/rights/UniqueFd.h"

namespace s::platform {

struct RightsClientOptions {
  // The helper program. Empty: $NETVIGIL_RIGHTS_HELPER when set, else netvigil-rights beside
  // this program, else the installed one.
  std::string helperPath;
  // How long an answer may take before the request counts as failed.
  std::chrono::milliseconds answerBound{5000};
};

// What starting the helper came to.
enum class RightsHelperState : uint8_t {
  kNotNeeded,     // this process holds every right itself
  kNotInstalled,  // no helper program at the path
  kNotPermitted,  // this user may not run it: not in its group
  kNoRights,      // it runs, but was installed without its capabilities
  kFailed,        // it could not be started, or ended or stopped answering
  kRunning,
};

// The program's side of netvigil-rights, the small helper that holds the rights this process
// lacks (capture, closing connections, seeing other users' socket owners) so that the program
// itself holds no capability. Made once by the program's start-up: when this process lacks a
// right, it starts the helper over a socketpair and makes itself the process's client, which
// the capture, the connection closer and the owner lookup ask when their own attempt is
// refused. The helper ends when the client goes (it sees its end of the socketpair close) or
// when the program ends in any way. Requests may come from any thread; each waits at most the
// answer bound.
class RightsClient {
 public:
  explicit RightsClient(const RightsClientOptions& options = {});
  ~RightsClient();
  RightsClient(const RightsClient&) = delete;
  RightsClient& operator=(const RightsClient&) = delete;

  // The process's client while one exists, else null.
  static RightsClient* current();

  RightsHelperState state() const { return state_.load(std::memory_order_acquire); }
  // Whether the helper serves `right` (a rights::Right) for this process.
  bool serves(uint16_t right) const;
  pid_t helperPid() const { return pid_; }
  // One line for the capture log: what the helper does, or why it does not.
  std::string statusText() const;

  struct CaptureSocket {
    UniqueFd socket;        // valid on success
    bool answered = false;  // false: the helper could not be asked, `error` says why
    int error = 0;
    uint16_t step = 0;  // the failed step, as the capture layer numbers them
  };
  // A packet socket for `address` (rights::CaptureSocketRequest's form) on interface `ifindex`,
  // filtered and bound by the helper, ready for its ring to be mapped.
  CaptureSocket openCaptureSocket(int ifindex, uint16_t family, const uint8_t (&address)[16]);

  // Asks the helper to end a TCP connection and returns at once, without its outcome: a user
  // interface thread may call it. False when the request could not be sent.
  bool destroyTcp(const rights::DestroyTcpRequest& connection);

  // Sets pids[i] to the process that holds socket inode inodes[i], 0 when none does. False
  // (pids all 0) when the helper could not be asked.
  bool findOwners(uint8_t ipProtocol, std::span<const uint64_t> inodes, std::span<int32_t> pids);

 private:
  void start(const std::string& path);
  bool readHello();
  uint32_t nextSequence();
  // Sends one request and waits for its answer; the caller holds exchangeLock_.
  bool exchange(rights::RequestBytes& request, rights::Answer& answer, UniqueFd* received);
  // Receives one answer with what descriptor came with it; false at the bound or at the end.
  bool receive(rights::Answer& answer, UniqueFd& received, std::chrono::milliseconds bound);
  void lose(int error);
  void end();

  std::atomic<RightsHelperState> state_{RightsHelperState::kNotNeeded};
  uint16_t rights_ = 0;
  std::string path_;
  std::atomic<int> error_{0};
  std::chrono::milliseconds answerBound_;
  pid_t pid_ = -1;
  UniqueFd channel_;
  std::atomic<uint32_t> sequence_{0};
  // One exchange at a time, so that each answer finds the thread that waits for it.
  std::mutex exchangeLock_;
};

}  // namespace s::platform
