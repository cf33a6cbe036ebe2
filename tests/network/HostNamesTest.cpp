#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "network/HostNames.h"
#include "network/UdpConnection.h"
#include "tests/network/NamespaceHosts.h"
#include "tests/platform/linux/Sockets.h"

namespace s::system::network {
namespace {

std::u16string answer(const PoolPtr<str::StrBuffer>& text) {
  return std::u16string(text->view());
}

TEST(HostNames, LookupsAnsweredFromANamespaceHostsFile) {
  test::NamespaceHosts hosts(
      "10.66.0.1 alpha.nvtest\n"
      "10.66.0.3 a-very-long-host-name-of-more-than-32.nvtest\n"
      "10.66.0.4 delta.nvtest\n"
      "fd00:66::1 six.nvtest\n");
  ASSERT_TRUE(hosts.ok());
  int status = hosts.runInside([] {
    // A name, then the cache.
    if (answer(resolveHostNameNow(u"10.66.0.1")) != u"alpha.nvtest" || hostLookupCount() != 1) {
      return 10;
    }
    if (answer(resolveHostNameNow(u"10.66.0.1")) != u"alpha.nvtest" || hostLookupCount() != 1) {
      return 11;
    }
    // No name: empty once, then the address itself.
    if (!answer(resolveHostNameNow(u"10.66.0.2")).empty()) {
      return 12;
    }
    if (answer(resolveHostNameNow(u"10.66.0.2")) != u"10.66.0.2" || hostLookupCount() != 2) {
      return 13;
    }
    // IPv6 addresses like IPv4 ones.
    if (answer(resolveHostNameNow(u"fd00:66::1")) != u"six.nvtest") {
      return 19;
    }
    // Too long for the first lookup's buffer: the second finds it.
    if (answer(resolveHostNameNow(u"10.66.0.3")) !=
        u"a-very-long-host-name-of-more-than-32.nvtest") {
      return 14;
    }
    // In the background: empty and queued, then the name; queued five times, resolved once.
    uint64_t before = hostLookupCount();
    if (!answer(lookupHostName(u"10.66.0.4")).empty()) {
      return 15;
    }
    for (int i = 0; i < 4; ++i) {
      answer(lookupHostName(u"10.66.0.4"));
    }
    std::u16string name;
    for (int i = 0; i < 500 && name.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      name = answer(lookupHostName(u"10.66.0.4"));
    }
    if (name != u"delta.nvtest") {
      return 16;
    }
    // Let the resolver drain the queue's repeats from the cache.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (hostLookupCount() != before + 1) {
      return 17;
    }
    // An address without a name ends in the no-name set through the queue too.
    answer(lookupHostName(u"10.66.0.9"));
    for (int i = 0; i < 500 && name != u"10.66.0.9"; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      name = answer(lookupHostName(u"10.66.0.9"));
    }
    return name == u"10.66.0.9" ? 0 : 18;
  });
  EXPECT_EQ(status, 0) << "10-11: name and cache, 12-13: no name, 14: long name, "
                          "15-17: background queue, 18: no name through the queue, 19: IPv6";
}

TEST(HostNames, AResolverThatNeverAnswersHoldsNothingUpAndTheQueueStaysBounded) {
  // The name server is a socket of the test's that reads nothing and answers nothing.
  test::NamespaceHosts hosts("127.0.0.1 localhost\n",
                             "nameserver 127.0.0.1\noptions timeout:30 attempts:1\n");
  ASSERT_TRUE(hosts.ok());
  int status = hosts.runInside([] {
    platform::test::Fd silent = platform::test::udpSocket("127.0.0.1", 53);
    if (silent.get() < 0) {
      return 10;
    }
    // The first address goes to the resolver, which then waits for its answer.
    if (!answer(lookupHostName(u"10.66.1.1")).empty()) {
      return 11;
    }
    for (int i = 0; i < 500 && hostLookupCount() == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (hostLookupCount() != 1) {
      return 12;
    }
    // Cycle after cycle the same ten addresses are asked for: each stands in the queue once.
    for (int cycle = 0; cycle < 500; ++cycle) {
      for (int host = 1; host <= 10; ++host) {
        std::string address = "10.66.1." + std::to_string(host);
        if (!answer(lookupHostName(std::u16string(address.begin(), address.end()))).empty()) {
          return 13;
        }
      }
    }
    if (pendingHostCount() != 10) {
      return 14;
    }
    // A new connection's local name is asked for in the background too: the answer is "not
    // yet", given while the resolver still waits, where a lookup of its own would have waited.
    PoolPtr<UdpConnection> record = UdpConnection::make();
    record->setLocalAddress(platform::test::ipv4("10.66.1.20"));
    record->setLocalPort(53);
    if (record->resolveLocalHostName() || hostLookupCount() != 1 || pendingHostCount() != 11) {
      return 15;
    }
    return 0;
  });
  EXPECT_EQ(status, 0) << "10: no silent server, 11-12: first lookup, 13-14: queue, "
                          "15: local name";
}

}  // namespace
}  // namespace s::system::network
