#include "platform/linux/instance/SingleInstance.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace s::platform {

namespace {

// One message on the wire: a mark of ours and the message's number, in one packet.
constexpr uint32_t kMark = 0x4e564931;  // "NVI1"
struct Packet {
  uint32_t mark;
  uint32_t message;
};

// The callers kept while they have not sent everything.
constexpr size_t kMaxCallers = 8;
// How long a later start tries while the name's holder is not listening yet (it is starting,
// or has just ended).
constexpr int kConnectTries = 50;
constexpr auto kConnectPause = std::chrono::milliseconds(20);

socklen_t addressOf(std::string_view name, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  // The abstract namespace: a leading zero byte, then the name (not terminated).
  const size_t length = std::min(name.size(), sizeof address.sun_path - 1);
  std::memcpy(address.sun_path + 1, name.data(), length);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

bool peerIsUs(int socket) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

bool isKnown(uint32_t message) {
  return message == static_cast<uint32_t>(InstanceMessage::kShowYourself) ||
         message == static_cast<uint32_t>(InstanceMessage::kNotify);
}

// Hands the messages to the running instance; kUnavailable when none of ours listens there.
SingleInstance::Claim tellRunning(const sockaddr_un& address, socklen_t length,
                                  std::span<const InstanceMessage> messages, bool& refused) {
  refused = false;
  // Without waiting: a full backlog refuses as a listener that is not there yet does.
  int socket = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socket < 0) {
    return SingleInstance::Claim::kUnavailable;
  }
  SingleInstance::Claim claim = SingleInstance::Claim::kUnavailable;
  if (connect(socket, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    refused = errno == ECONNREFUSED || errno == EAGAIN;
  } else if (peerIsUs(socket)) {
    claim = SingleInstance::Claim::kOtherRunning;
    for (InstanceMessage message : messages) {
      const Packet packet{kMark, static_cast<uint32_t>(message)};
      if (send(socket, &packet, sizeof packet, MSG_NOSIGNAL | MSG_DONTWAIT) !=
          static_cast<ssize_t>(sizeof packet)) {
        break;
      }
    }
  }
  ::close(socket);
  return claim;
}

}  // namespace

std::string instanceName(std::string_view program, uid_t uid, std::string_view display) {
  // "host:number.screen": the screen is the same display.
  const size_t colon = display.rfind(':');
  const size_t dot = display.find('.', colon == std::string_view::npos ? 0 : colon);
  if (colon != std::string_view::npos && dot != std::string_view::npos) {
    display = display.substr(0, dot);
  }
  return std::string(program) + "-" + std::to_string(uid) + "-" + std::string(display);
}

SingleInstance::~SingleInstance() {
  for (int caller : callers_) {
    ::close(caller);
  }
  for (int fd : {epollFd_, listener_}) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
}

SingleInstance::Claim SingleInstance::claim(std::string_view name,
                                            std::span<const InstanceMessage> messages) {
  sockaddr_un address{};
  const socklen_t length = addressOf(name, address);
  for (int attempt = 0; attempt < kConnectTries; ++attempt) {
    int socket = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0) {
      return Claim::kUnavailable;
    }
    // Binding is the claim: only one socket can hold a name.
    if (bind(socket, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
      epollFd_ = epoll_create1(EPOLL_CLOEXEC);
      epoll_event event{};
      event.events = EPOLLIN;
      event.data.fd = socket;
      if (listen(socket, 16) != 0 || epollFd_ < 0 ||
          epoll_ctl(epollFd_, EPOLL_CTL_ADD, socket, &event) != 0) {
        ::close(socket);
        return Claim::kUnavailable;
      }
      listener_ = socket;
      return Claim::kFirst;
    }
    const bool inUse = errno == EADDRINUSE;
    ::close(socket);
    if (!inUse) {
      return Claim::kUnavailable;
    }
    bool refused = false;
    Claim told = tellRunning(address, length, messages, refused);
    if (!refused) {
      return told;
    }
    std::this_thread::sleep_for(kConnectPause);
  }
  return Claim::kUnavailable;
}

void SingleInstance::serve() {
  epoll_event events[kMaxCallers + 1];
  const int ready = epoll_wait(epollFd_, events, static_cast<int>(kMaxCallers + 1), 0);
  for (int i = 0; i < ready; ++i) {
    const int fd = events[i].data.fd;
    if (fd == listener_) {
      accept();
    } else if (!read(fd)) {
      drop(fd);
    }
  }
}

void SingleInstance::accept() {
  for (;;) {
    int caller = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (caller < 0) {
      return;
    }
    if (!peerIsUs(caller)) {
      ::close(caller);
      continue;
    }
    // A start that connects and sends nothing makes room for the next.
    if (callers_.size() == kMaxCallers) {
      drop(callers_.front());
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = caller;
    if (epoll_ctl(epollFd_, EPOLL_CTL_ADD, caller, &event) != 0) {
      ::close(caller);
      continue;
    }
    callers_.push_back(caller);
    // What came with the connection is served at once.
    if (!read(caller)) {
      drop(caller);
    }
  }
}

bool SingleInstance::read(int caller) {
  for (;;) {
    Packet packet{};
    const ssize_t got = recv(caller, &packet, sizeof packet, MSG_DONTWAIT);
    if (got < 0) {
      return errno == EAGAIN || errno == EINTR;
    }
    if (got != static_cast<ssize_t>(sizeof packet) || packet.mark != kMark) {
      // The end of the caller, or not one of ours.
      return false;
    }
    if (isKnown(packet.message) && handler_) {
      handler_(static_cast<InstanceMessage>(packet.message));
    }
  }
}

void SingleInstance::drop(int caller) {
  auto it = std::find(callers_.begin(), callers_.end(), caller);
  if (it != callers_.end()) {
    callers_.erase(it);
  }
  epoll_ctl(epollFd_, EPOLL_CTL_DEL, caller, nullptr);
  ::close(caller);
}

}  // namespace s::platform
