#pragma once

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/linux/capture/AddressCapture.h"
#include "tests/platform/linux/capture/TestNet.h"
#include "tests/support/Eventually.h"

namespace s::platform::test {

// Counts what the capture reports per protocol and both endpoints, local first.
class FlowSink final : public IDatagramSink {
 public:
  struct Counts {
    uint64_t received = 0;
    uint64_t sent = 0;
    bool operator==(const Counts&) const = default;
  };

  void onDatagram(bool sent, const IpDatagram& d) override {
    std::string key = d.protocol == kProtocolTcp ? "TCP," : "UDP,";
    if (sent) {
      key += addressText(d.source) + ":" + std::to_string(d.sourcePort) + "-" +
             addressText(d.destination) + ":" + std::to_string(d.destinationPort);
    } else {
      key += addressText(d.destination) + ":" + std::to_string(d.destinationPort) + "-" +
             addressText(d.source) + ":" + std::to_string(d.sourcePort);
    }
    std::scoped_lock guard(lock_);
    Counts& counts = flows_[key];
    (sent ? counts.sent : counts.received) += d.length;
  }

  void onDrops(uint32_t dropped) override { drops_ += dropped; }
  uint64_t drops() const { return drops_; }

  std::map<std::string, Counts> flows() {
    std::scoped_lock guard(lock_);
    return flows_;
  }
  Counts total() {
    Counts sum;
    for (const auto& [key, counts] : flows()) {
      sum.received += counts.received;
      sum.sent += counts.sent;
    }
    return sum;
  }

 private:
  std::mutex lock_;
  std::map<std::string, Counts> flows_;
  std::atomic<uint64_t> drops_{0};
};

// A capture of one address of a namespace, running on its own thread.
class CaptureThread {
 public:
  CaptureThread(const std::string& ns, const char* address, IDatagramSink& sink) {
    std::future<int> opened = opened_.get_future();
    thread_ = std::thread([this, ns, address, &sink] {
      NetnsEntry entry(ns);
      int error = entry.entered() ? capture_.open(ipAddress(address)) : EINVAL;
      opened_.set_value(error);
      if (error == 0) {
        result_ = capture_.run(sink);
      }
    });
    openError_ = opened.get();
  }
  ~CaptureThread() { stop(); }
  CaptureThread(const CaptureThread&) = delete;
  CaptureThread& operator=(const CaptureThread&) = delete;

  int openError() const { return openError_; }
  // Stops the capture and gives what run() gave.
  int stop() {
    capture_.stop();
    if (thread_.joinable()) {
      thread_.join();
    }
    return result_;
  }
  // Waits (bounded) for run() to end by itself.
  bool ended() {
    for (int i = 0; i < 500 && !finished(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return finished();
  }
  const char* failedStep() const { return capture_.failedStep(); }

 private:
  bool finished() { return result_ != kRunning; }
  static constexpr int kRunning = -1;
  AddressCapture capture_;
  std::promise<int> opened_;
  std::thread thread_;
  int openError_ = 0;
  std::atomic<int> result_{kRunning};
};

// Sends `size` bytes in one datagram to an IPv4 or IPv6 address.
inline bool sendDatagram(int fd, const char* address, uint16_t port, size_t size) {
  std::string payload(size, 'u');
  sockaddr_in to = endpoint(address, port);
  sockaddr_in6 to6 = endpoint6(address, port);
  bool ipv6 = std::string(address).find(':') != std::string::npos;
  return (ipv6 ? sendto(fd, payload.data(), size, 0, reinterpret_cast<sockaddr*>(&to6), sizeof to6)
               : sendto(fd, payload.data(), size, 0, reinterpret_cast<sockaddr*>(&to),
                        sizeof to)) == static_cast<ssize_t>(size);
}

// The size of the next datagram to arrive, -1 after five seconds without one.
inline ssize_t receiveDatagram(int fd) {
  timeval timeout{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  char buffer[8192];
  return recv(fd, buffer, sizeof buffer, 0);
}

// A real TCP connection from `local` in namespace A to port 5001 of `remote` in namespace B,
// both of one family: 200,000 bytes up, 30,000 down, closed from both sides. Gives the
// client's port, or 0 when a step failed.
inline uint16_t uploadAndDownload(const NetnsPair& pair, const char* local, const char* remote) {
  const bool ipv6 = std::string(local).find(':') != std::string::npos;
  auto socketOf = [ipv6](const std::string& ns, const char* address, uint16_t port) {
    return ipv6 ? socketIn6(ns, SOCK_STREAM, address, port)
                : socketIn(ns, SOCK_STREAM, address, port);
  };
  int server = socketOf(pair.nameB(), remote, 5001);
  if (server < 0 || listen(server, 1) != 0) {
    return 0;
  }
  std::thread peer([server] {
    int connection = accept(server, nullptr, nullptr);
    char buffer[8192];
    while (connection >= 0 && recv(connection, buffer, sizeof buffer, 0) > 0) {
    }
    std::string reply(30'000, 'r');
    if (connection >= 0) {
      send(connection, reply.data(), reply.size(), MSG_NOSIGNAL);
      close(connection);
    }
  });
  int client = socketOf(pair.nameA(), local, 0);
  sockaddr_in to = endpoint(remote, 5001);
  sockaddr_in6 to6 = endpoint6(remote, 5001);
  bool connected =
      client >= 0 && (ipv6 ? connect(client, reinterpret_cast<sockaddr*>(&to6), sizeof to6)
                           : connect(client, reinterpret_cast<sockaddr*>(&to), sizeof to)) == 0;
  std::string upload(200'000, 'c');
  size_t downloaded = 0;
  if (connected && send(client, upload.data(), upload.size(), MSG_NOSIGNAL) == 200'000) {
    shutdown(client, SHUT_WR);
    char buffer[8192];
    for (ssize_t got = 0; (got = recv(client, buffer, sizeof buffer, 0)) > 0;) {
      downloaded += static_cast<size_t>(got);
    }
  } else if (client >= 0) {
    shutdown(client, SHUT_RDWR);
  }
  uint16_t port = client >= 0 ? localPort(client) : 0;
  if (client >= 0) {
    close(client);
  }
  peer.join();
  close(server);
  return downloaded == 30'000 ? port : 0;
}

}  // namespace s::platform::test
