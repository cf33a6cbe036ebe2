#pragma once

#include <functional>
#include <string>

#include "tests/platform/linux/Sockets.h"

namespace s::system::network::test {

// A network namespace of the test's own with its hosts file in /etc/netns/<name>/hosts, the
// place `ip netns exec` takes it from, and its resolv.conf beside it when one is given.
class NamespaceHosts {
 public:
  explicit NamespaceHosts(const std::string& hosts, const std::string& resolvConf = "");
  ~NamespaceHosts();
  NamespaceHosts(const NamespaceHosts&) = delete;
  NamespaceHosts& operator=(const NamespaceHosts&) = delete;

  bool ok() const { return ok_; }
  const platform::test::Netns& netns() const { return netns_; }
  // Runs `body` in a child inside the namespace, seeing the hosts file as /etc/hosts (and the
  // resolv.conf as /etc/resolv.conf), as `ip netns exec` arranges it; gives the child's exit
  // status, -1 when it did not exit.
  int runInside(const std::function<int()>& body) const;

 private:
  platform::test::Netns netns_;
  std::string folder_;
  bool hasResolvConf_ = false;
  bool ok_ = false;
};

}  // namespace s::system::network::test
