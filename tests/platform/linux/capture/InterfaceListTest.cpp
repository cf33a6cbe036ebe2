#include "platform/linux/capture/InterfaceList.h"

#include <gtest/gtest.h>
#include <net/if.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "tests/platform/linux/capture/TestNet.h"

namespace s::platform {
namespace {

class InterfaceListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) {
      GTEST_SKIP() << "network namespaces need root";
    }
    ASSERT_TRUE(pair_.create());
  }
  NetnsPair pair_;
};

TEST_F(InterfaceListTest, DescribesEachInterfaceButLoopback) {
  ASSERT_TRUE(pair_.ipA({"link", "set", NetnsPair::kInterfaceA, "address", "02:00:5e:aa:0b:0c"}));
  ASSERT_TRUE(pair_.ipA({"address", "add", "10.213.1.7/16", "dev", NetnsPair::kInterfaceA}));
  ASSERT_TRUE(pair_.ipA({"route", "add", "default", "via", NetnsPair::kAddressB}));
  char path[] = "/tmp/nvcap-resolv-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  std::ofstream(path) << "# generated\nnameserver fe80::1\nsearch example.org\n"
                         "nameserver 192.0.2.53\nnameserver   198.51.100.7 \n"
                         "nameserver 203.0.113.9\n";
  InterfaceSources sources;
  sources.resolvConf = path;

  NetnsEntry entry(pair_.nameA());
  std::vector<InterfaceInfo> interfaces;
  ASSERT_TRUE(listInterfaces(interfaces, sources));
  std::remove(path);
  ASSERT_EQ(interfaces.size(), 1U) << "loopback is left out";
  const InterfaceInfo& veth = interfaces[0];
  EXPECT_EQ(veth.name, NetnsPair::kInterfaceA);
  EXPECT_EQ(veth.index, static_cast<int>(if_nametoindex(NetnsPair::kInterfaceA)));
  EXPECT_EQ(veth.hardwareAddress, "02:00:5E:AA:0B:0C");
  ASSERT_EQ(veth.addresses.size(), 2U);
  EXPECT_EQ(veth.addresses[0].address, NetnsPair::kAddressA);
  EXPECT_EQ(veth.addresses[0].mask, "255.255.255.0");
  EXPECT_EQ(veth.addresses[1].address, "10.213.1.7");
  EXPECT_EQ(veth.addresses[1].mask, "255.255.0.0");
  EXPECT_TRUE(veth.isVirtual);
  EXPECT_TRUE(veth.isUp);
  EXPECT_EQ(veth.gateway, NetnsPair::kAddressB);
  EXPECT_EQ(veth.dnsServer1, "192.0.2.53");
  EXPECT_EQ(veth.dnsServer2, "198.51.100.7");
}

TEST(InterfaceSourcesTest, GatewayIsTheLowestMetricDefaultRouteOfTheInterface) {
  char path[] = "/tmp/nvcap-route-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  // Words as the kernel prints them on a little-endian machine: 0102A8C0 is 192.168.2.1.
  std::ofstream(path)
      << "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
         "eth0\t0000A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
         "eth0\t00000000\t0102A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
         "eth0\t00000000\t0202A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
         "eth0\t00000000\t0302A8C0\t0001\t0\t0\t50\t00000000\t0\t0\t0\n"
         "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t10\t00000000\t0\t0\t0\n"
         "eth1\tbogus\n";
  EXPECT_EQ(defaultGateway(path, "eth0"), "192.168.2.2");
  EXPECT_EQ(defaultGateway(path, "wlan0"), "192.168.1.1");
  EXPECT_EQ(defaultGateway(path, "eth1"), "");
  EXPECT_EQ(defaultGateway("/nonexistent/route", "eth0"), "");
  std::remove(path);
  std::string first = "x";
  std::string second = "y";
  nameServers("/nonexistent/resolv.conf", first, second);
  EXPECT_EQ(first, "");
  EXPECT_EQ(second, "");
}

}  // namespace
}  // namespace s::platform
