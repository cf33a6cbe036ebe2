#include "network/interfaces/InterfaceList.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/network/capture/NetnsEnvironment.h"
#include "tests/platform/linux/capture/TestNet.h"
#include "tests/support/Eventually.h"

namespace s::system::network {
namespace {

using platform::NetnsPair;
using s::test::eventually;
using win::NicConn;

// A few refreshes of the interfaces' tasks.
constexpr std::chrono::seconds kRefreshes{8};

std::u16string ipAddressOf(const NicConn& nic) {
  PoolPtr<str::StrBuffer> text = str::StrBuffer::make();
  return nic.getIpAddress(*text) ? std::u16string(text->view()) : u"(absent)";
}

bool ipA(std::vector<std::string> args) {
  args.insert(args.begin(), {"ip", "-n", namespaceA()});
  return platform::runProgram(args) == 0;
}

class NicConnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveNamespaces()) {
      GTEST_SKIP() << "network namespaces need root";
    }
  }
};

// The interface at position i; its object stays valid while the interface stays listed.
NicConn* interfaceAt(uint32_t i) {
  NicConn* found = nullptr;
  win::getInterfaceList().withInterface(i, [&found](NicConn& nic) { found = &nic; });
  return found;
}

TEST_F(NicConnTest, TheListHoldsEachInterfaceButLoopbackWithItsConfiguration) {
  win::InterfaceList& list = win::getInterfaceList();
  ASSERT_TRUE(ipA({"route", "replace", "default", "via", NetnsPair::kAddressB}));
  ASSERT_EQ(list.count(), 1U);
  ASSERT_NE(interfaceAt(0), nullptr);
  EXPECT_EQ(interfaceAt(1), nullptr);
  NicConn& nic = *interfaceAt(0);
  nic.start();  // again after a test before stopped it
  EXPECT_EQ(nic.getConnectionName(), u"nv-a");
  EXPECT_EQ(nic.getAdapterId(), u"nv-a");
  EXPECT_TRUE(nic.isVirtual());
  EXPECT_EQ(nic.getPnpInstanceId(), u"Virtual");
  ASSERT_TRUE(nic.isPresent());
  EXPECT_EQ(ipAddressOf(nic), u"10.213.0.1");
  PoolPtr<str::StrBuffer> text = str::StrBuffer::make();
  ASSERT_TRUE(nic.getSubnetMask(*text));
  EXPECT_EQ(text->view(), u"255.255.255.0");
  ASSERT_TRUE(nic.getDescription(*text));
  EXPECT_EQ(text->view(), u"nv-a");
  ASSERT_TRUE(nic.getHardwareAddress(*text));
  EXPECT_EQ(text->length(), 17U);
  bool dhcp = true;
  ASSERT_TRUE(nic.getDhcpEnabled(dhcp));
  EXPECT_FALSE(dhcp) << "an address set by hand is permanent";
  // The route came after the first refresh: the task brings the gateway within 3 seconds.
  EXPECT_TRUE(eventually([&] { return nic.getGateway(*text) && text->view() == u"10.213.0.2"; },
                         kRefreshes));

  uint64_t inBefore = 0;
  nic.getInOctets(inBefore);
  int a = platform::socketIn(namespaceA(), SOCK_DGRAM, NetnsPair::kAddressA, 6301);
  int b = platform::socketIn(namespaceB(), SOCK_DGRAM, NetnsPair::kAddressB, 6302);
  sockaddr_in toA = platform::endpoint(NetnsPair::kAddressA, 6301);
  char payload[1000] = {};
  for (int i = 0; i < 10; ++i) {
    sendto(b, payload, sizeof payload, 0, reinterpret_cast<sockaddr*>(&toA), sizeof toA);
  }
  uint64_t in = 0;
  uint64_t out = 0;
  uint64_t total = 0;
  nic.getInOctets(in);
  nic.getOutOctets(out);
  nic.getTotalOctets(total);
  EXPECT_GE(in - inBefore, 10U * (1000 + 28 + 14));
  EXPECT_EQ(total, in + out);
  close(a);
  close(b);

  // A changed address shows within about 3 seconds.
  ASSERT_TRUE(ipA({"address", "add", "10.215.0.1/24", "dev", NetnsPair::kInterfaceA}));
  ASSERT_TRUE(ipA({"address", "del", "10.213.0.1/24", "dev", NetnsPair::kInterfaceA}));
  EXPECT_TRUE(eventually([&] { return ipAddressOf(nic) == u"10.215.0.1"; }, kRefreshes));
  ASSERT_TRUE(ipA({"address", "add", "10.213.0.1/24", "dev", NetnsPair::kInterfaceA}));
  ASSERT_TRUE(ipA({"address", "del", "10.215.0.1/24", "dev", NetnsPair::kInterfaceA}));

  // Interfaces that come later join the end of the list, configured; those that go leave it.
  ASSERT_TRUE(ipA({"link", "add", "nv-late", "type", "veth", "peer", "name", "nv-late2"}));
  ASSERT_TRUE(ipA({"address", "add", "10.216.0.1/24", "dev", "nv-late"}));
  ASSERT_TRUE(eventually([&] { return list.count() == 3; }, kRefreshes));
  std::u16string names;
  for (uint32_t i = 0; i < list.count(); ++i) {
    list.withInterface(i, [&names](NicConn& late) {
      names += late.getAdapterId();
      names += u" ";
    });
  }
  EXPECT_TRUE(names == u"nv-a nv-late2 nv-late " || names == u"nv-a nv-late nv-late2 ")
      << "[" << std::string(names.begin(), names.end()) << "]";
  NicConn* late = nullptr;
  for (uint32_t i = 1; i < 3; ++i) {
    NicConn* candidate = interfaceAt(i);
    if (candidate != nullptr && candidate->getAdapterId() == u"nv-late") {
      late = candidate;
    }
  }
  ASSERT_NE(late, nullptr);
  // Its own task brings the address that came after the interface.
  EXPECT_TRUE(eventually([&] { return ipAddressOf(*late) == u"10.216.0.1"; }, kRefreshes));
  EXPECT_TRUE(late->isVirtual());
  ASSERT_TRUE(ipA({"link", "del", "nv-late"}));
  EXPECT_TRUE(eventually([&] { return list.count() == 1; }, kRefreshes));
  EXPECT_EQ(interfaceAt(0), &nic);
  nic.stop(true);
}

TEST(NicConnFieldsTest, AnAbsentInterfaceGivesNothingAndPeaksKeepTheMaximum) {
  PoolPtr<NicConn> nic = NicConn::make();
  nic->setAdapterId(u"nv-no-such");
  nic->setPnpInstanceId(u"VIRTUAL");
  EXPECT_TRUE(nic->isVirtual());
  nic->refreshAdapterInfo();
  EXPECT_FALSE(nic->isPresent());
  PoolPtr<str::StrBuffer> text(str::StrBuffer::of(u"untouched"));
  EXPECT_FALSE(nic->getIpAddress(*text));
  EXPECT_FALSE(nic->getDescription(*text));
  EXPECT_EQ(text->view(), u"untouched");
  uint64_t octets = 7;
  nic->getTotalOctets(octets);
  EXPECT_EQ(octets, 0U);
  nic->setPeak1(50);
  nic->setPeak1(20);
  nic->setPeak2(-5);
  EXPECT_EQ(nic->getPeak1(), 50);
  EXPECT_EQ(nic->getPeak2(), 0);
  nic->setPnpInstanceId(u"0000:00:03.0");
  EXPECT_FALSE(nic->isVirtual());
}

}  // namespace
}  // namespace s::system::network
