#include "probes/Counter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "network/interfaces/InterfaceList.h"
#include "tests/network/capture/NetnsEnvironment.h"
#include "tests/platform/linux/capture/TestNet.h"

namespace s::system::counter::win {
namespace {

using platform::NetnsPair;

class CounterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!network::haveNamespaces()) {
      GTEST_SKIP() << "network namespaces need root";
    }
  }
};

TEST_F(CounterTest, CountersAreFoundByPathIgnoringCase) {
  Counter& service = counterService();
  EXPECT_EQ(&service, &counterService());
  int32_t sent = service.addCounter(u"\\Network Interface(nv-a)\\Bytes Sent/sec");
  ASSERT_GE(sent, 0);
  EXPECT_EQ(service.addCounter(u"\\network interface(NV-A)\\bytes sent/SEC"), sent);
  EXPECT_NE(service.addCounter(u"\\Network Interface(nv-a)\\Bytes Received/sec"), sent);
  EXPECT_EQ(service.addCounter(u"\\Processor(_Total)\\% Processor Time"), -1);
  EXPECT_EQ(service.addCounter(u"\\Network Interface()\\Bytes Sent/sec"), -1);
  int64_t value = 5;
  EXPECT_FALSE(service.readCounter(1000, value));
  EXPECT_EQ(value, 0);
  EXPECT_FALSE(service.readCounter(-1, value));

  PoolPtr<str::StrArray> instances = str::StrArray::make();
  // A recycled list comes without its element disposer.
  instances->setDestructor(&str::StrBuffer::pool());
  service.expandInstances(u"\\Network Interface(*)\\Bytes Sent/sec", *instances);
  bool listed = false;
  for (const str::StrBuffer* name : *instances) {
    listed = listed || name->view() == u"nv-a";
  }
  EXPECT_TRUE(listed);
}

// Sends `size`-byte datagrams at `perSecond` for `seconds`, keeping the cumulative count on
// schedule; gives the link-level bytes sent per second.
double sendSteadily(int fd, const char* address, uint16_t port, size_t size, int perSecond,
                    double seconds) {
  std::string payload(size, 'p');
  sockaddr_in to = platform::endpoint(address, port);
  auto start = std::chrono::steady_clock::now();
  auto end = start + std::chrono::duration<double>(seconds);
  uint64_t sent = 0;
  for (auto now = start; now < end; now = std::chrono::steady_clock::now()) {
    double due = std::chrono::duration<double>(now - start).count() * perSecond;
    while (static_cast<double>(sent) < due) {
      sendto(fd, payload.data(), size, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
      ++sent;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return static_cast<double>(sent) * static_cast<double>(size + 8 + 20 + 14) / elapsed;
}

bool ipA(std::vector<std::string> args) {
  args.insert(args.begin(), {"ip", "-n", network::namespaceA()});
  return platform::runProgram(args) == 0;
}

void stopTasks() {
  network::win::InterfaceList& list = network::win::getInterfaceList();
  for (uint32_t i = 0; i < list.count(); ++i) {
    list.withInterface(i, [](network::win::NicConn& nic) { nic.stop(true); });
  }
}

TEST_F(CounterTest, InterfaceRatesFollowSteadyTrafficInEachDirection) {
  ASSERT_EQ(network::win::getInterfaceList().count(), 1U);
  Counter& service = counterService();
  int64_t received = 0;
  int64_t sent = 0;
  service.interfaceReceivedRate(0, received);  // adds the counters
  service.interfaceSentRate(0, sent);
  int a = platform::socketIn(network::namespaceA(), SOCK_DGRAM, NetnsPair::kAddressA, 7001);
  int b = platform::socketIn(network::namespaceB(), SOCK_DGRAM, NetnsPair::kAddressB, 7002);
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  // More comes in than goes out, so a received rate reduced by the sent one would show.
  double receiving = 0;
  std::thread peer(
      [&] { receiving = sendSteadily(b, NetnsPair::kAddressA, 7001, 1000, 3000, 3.6); });
  bool validReceived = false;
  bool validSent = false;
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(2900));
    validReceived = service.interfaceReceivedRate(0, received);
    validSent = service.interfaceSentRate(0, sent);
  });
  double sending = sendSteadily(a, NetnsPair::kAddressB, 7002, 1000, 1000, 3.6);
  peer.join();
  reader.join();
  close(a);
  close(b);
  ASSERT_TRUE(validReceived);
  ASSERT_TRUE(validSent);
  EXPECT_NEAR(static_cast<double>(received), receiving, receiving * 0.1);
  EXPECT_NEAR(static_cast<double>(sent), sending, sending * 0.1);
  int64_t none = 9;
  EXPECT_FALSE(service.interfaceSentRate(1, none)) << "no interface 1";
  EXPECT_EQ(none, 0);
  stopTasks();
}

TEST_F(CounterTest, AnInterfaceAddedLaterCountsInTheRatesAndLeavesThemWhenItGoes) {
  network::win::InterfaceList& list = network::win::getInterfaceList();
  ASSERT_EQ(list.count(), 1U);
  // A second pair of veths between the namespaces, made after the list was built.
  ASSERT_TRUE(ipA({"link", "add", "nv-late", "type", "veth", "peer", "name", "nv-late-b", "netns",
                   network::namespaceB()}));
  ASSERT_TRUE(ipA({"address", "add", "10.216.0.1/24", "dev", "nv-late"}));
  ASSERT_TRUE(ipA({"link", "set", "nv-late", "up"}));
  ASSERT_EQ(platform::runProgram({"ip", "-n", network::namespaceB(), "address", "add",
                                  "10.216.0.2/24", "dev", "nv-late-b"}),
            0);
  ASSERT_EQ(
      platform::runProgram({"ip", "-n", network::namespaceB(), "link", "set", "nv-late-b", "up"}),
      0);
  for (int i = 0; i < 500 && list.count() != 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(list.count(), 2U);
  int a = platform::socketIn(network::namespaceA(), SOCK_DGRAM, "10.216.0.1", 7101);
  int b = platform::socketIn(network::namespaceB(), SOCK_DGRAM, "10.216.0.2", 7102);
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  Counter& service = counterService();
  int64_t sent = 0;
  service.interfaceSentRate(1, sent);  // starts the sampling
  bool valid = false;
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(2900));
    valid = service.interfaceSentRate(1, sent);
  });
  double sending = sendSteadily(a, "10.216.0.2", 7102, 1000, 1000, 3.6);
  reader.join();
  close(a);
  close(b);
  ASSERT_TRUE(valid);
  EXPECT_NEAR(static_cast<double>(sent), sending, sending * 0.1);

  ASSERT_TRUE(ipA({"link", "del", "nv-late"}));
  for (int i = 0; i < 500 && list.count() != 1; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(list.count(), 1U);
  EXPECT_FALSE(service.interfaceSentRate(1, sent));
  stopTasks();
}

}  // namespace
}  // namespace s::system::counter::win
