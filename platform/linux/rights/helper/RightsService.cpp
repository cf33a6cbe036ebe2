#include "platform/linux/rights/helper/RightsService.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/linux/SockDiagSource.h"
#include "platform/linux/capture/CaptureFilter.h"
#include "platform/linux/capture/CaptureSocket.h"
#include "platform/linux/capture/Rtnetlink.h"
#include "platform/linux/rights/MessagePassing.h"
#include "platform/linux/rights/helper/HelperRights.h"

namespace s::platform {

namespace {

using rights::AnswerKind;
using rights::RequestCheck;
using rights::RequestKind;

uint32_t ipv4Of(const uint8_t (&address)[16]) {
  uint32_t word = 0;
  std::memcpy(&word, address, sizeof word);
  return word;
}

// A request's address, of a family the checks have let through.
IpAddress addressOf(uint16_t family, const uint8_t (&address)[16]) {
  return family == AF_INET ? IpAddress::v4(ipv4Of(address)) : IpAddress::v6(address);
}

// The one place a capture filter is built from a request. Gives 0, or the errno that says why
// there is none for this address.
int buildCaptureFilter(const rights::CaptureSocketRequest& request,
                       std::optional<CaptureFilter>& filter) {
  if (request.family != AF_INET && request.family != AF_INET6) {
    return EAFNOSUPPORT;
  }
  filter.emplace(captureFilter(addressOf(request.family, request.address)));
  return 0;
}

// Whether interface `ifindex` holds the address: the program may watch this computer's own
// addresses, not other hosts' traffic that passes an interface. A link-local IPv6 address may
// stand on several interfaces at once.
bool interfaceHolds(int ifindex, const rights::CaptureSocketRequest& request) {
  return interfaceHoldsAddress(ifindex, addressOf(request.family, request.address));
}

bool isEndOfChannel(int channel) {
  pollfd state{channel, POLLRDHUP, 0};
  return poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLRDHUP)) != 0;
}

rights::Answer answerTo(const rights::Request& request, AnswerKind kind) {
  rights::Answer answer;
  answer.kind = static_cast<uint16_t>(kind);
  answer.sequence = request.header.sequence;
  return answer;
}

}  // namespace

bool RightsService::sendHello() {
  rights::Answer hello;
  hello.kind = static_cast<uint16_t>(AnswerKind::kHello);
  hello.detail = rights_;
  return send(hello);
}

bool RightsService::sendRefusalHello(rights::HelperRefusal reason) {
  rights::Answer hello;
  hello.kind = static_cast<uint16_t>(AnswerKind::kHello);
  hello.error = EPERM;
  hello.detail = static_cast<uint16_t>(reason);
  return send(hello);
}

bool RightsService::receive(rights::Request& request, RequestCheck& check, bool& failed) {
  alignas(rights::RequestBytes) uint8_t bytes[rights::kRequestSize];
  iovec part{bytes, sizeof bytes};
  // No room for ancillary data: descriptors sent along are closed by the kernel and flagged.
  msghdr message{};
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  for (;;) {
    ssize_t got = recvmsg(channel_, &message, 0);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      failed = true;
      return false;
    }
    // An empty message reads like the end of the channel; the hang-up tells them apart.
    if (got == 0 && isEndOfChannel(channel_)) {
      return false;
    }
    request = rights::Request{};
    if ((message.msg_flags & MSG_CTRUNC) != 0) {
      check = RequestCheck::kAncillaryData;
    } else if ((message.msg_flags & MSG_TRUNC) != 0) {
      check = RequestCheck::kWrongSize;
    } else {
      check = rights::parseRequest(bytes, static_cast<size_t>(got), request);
    }
    return true;
  }
}

int RightsService::serve() {
  rights::Request request;
  RequestCheck check = RequestCheck::kOk;
  bool failed = false;
  while (receive(request, check, failed)) {
    if (check != RequestCheck::kOk) {
      rights::Answer refusal = answerTo(request, AnswerKind::kRefusal);
      refusal.error = EINVAL;
      refusal.detail = static_cast<uint16_t>(check);
      if (!send(refusal)) {
        return 1;
      }
      continue;
    }
    bool sent = true;
    switch (request.kind) {
      case RequestKind::kCaptureSocket: {
        rights::Answer answer = answerTo(request, AnswerKind::kCaptureSocket);
        UniqueFd socket;
        serveCapture(request.capture, answer, socket);
        sent = send(answer, socket.get());
        break;
      }
      case RequestKind::kDestroyTcp: {
        rights::Answer answer = answerTo(request, AnswerKind::kDestroyTcp);
        serveDestroy(request.destroy, answer);
        if ((request.header.flags & rights::kNoAnswer) == 0) {
          sent = send(answer);
        }
        break;
      }
      case RequestKind::kSocketOwners: {
        rights::Answer answer = answerTo(request, AnswerKind::kSocketOwners);
        serveOwners(request.owners, answer);
        sent = send(answer);
        break;
      }
    }
    if (!sent) {
      return 1;
    }
  }
  return failed ? 1 : 0;
}

void RightsService::serveCapture(const rights::CaptureSocketRequest& body, rights::Answer& answer,
                                 UniqueFd& socket) {
  std::optional<CaptureFilter> filter;
  answer.error = buildCaptureFilter(body, filter);
  if (answer.error != 0) {
    answer.detail = static_cast<uint16_t>(CaptureStep::kAttachFilter);
    return;
  }
  if (!interfaceHolds(body.ifindex, body)) {
    answer.error = EADDRNOTAVAIL;
    answer.detail = static_cast<uint16_t>(CaptureStep::kInterfaceLookup);
    return;
  }
  RaisedRight raised(rights::kRightCapture);
  if (!raised.raised()) {
    answer.error = EPERM;
    answer.detail = static_cast<uint16_t>(CaptureStep::kSocket);
    return;
  }
  CaptureStep step = CaptureStep::kNone;
  sock_fprog program = filter->program();
  answer.error = openCaptureSocket(body.ifindex, &program, socket, step);
  answer.detail = static_cast<uint16_t>(step);
}

void RightsService::serveDestroy(const rights::DestroyTcpRequest& body, rights::Answer& answer) {
  if (body.family != AF_INET && body.family != AF_INET6) {
    answer.error = EAFNOSUPPORT;
    return;
  }
  RaisedRight raised(rights::kRightDestroy);
  if (!raised.raised()) {
    answer.error = EPERM;
    return;
  }
  bool destroyed = false;
  if (body.family == AF_INET) {
    destroyed = SockDiagSource::destroyTcp(ipv4Of(body.local), body.localPort, ipv4Of(body.remote),
                                           body.remotePort);
  } else {
    destroyed =
        SockDiagSource::destroyTcp6(addressOf(AF_INET6, body.local).bytes, body.localPort,
                                    addressOf(AF_INET6, body.remote).bytes, body.remotePort);
  }
  if (!destroyed) {
    answer.error = errno != 0 ? errno : EIO;
  }
}

void RightsService::serveOwners(const rights::SocketOwnersRequest& body, rights::Answer& answer) {
  rows_.assign(body.count, SocketRow{});
  for (uint32_t i = 0; i < body.count; ++i) {
    rows_[i].inode = body.inodes[i];
  }
  {
    RaisedRight raised(rights::kRightOwners);
    if (!raised.raised()) {
      answer.error = EPERM;
      return;
    }
    owners_.assign(body.ipProtocol == IPPROTO_TCP ? Protocol::Tcp : Protocol::Udp, rows_);
  }
  answer.count = body.count;
  for (uint32_t i = 0; i < body.count; ++i) {
    answer.pids[i] = rows_[i].pid > 0 ? rows_[i].pid : 0;
  }
}

bool RightsService::send(const rights::Answer& answer, int fd) {
  return sendMessage(channel_, &answer, sizeof answer, fd) == static_cast<ssize_t>(sizeof answer);
}

}  // namespace s::platform
