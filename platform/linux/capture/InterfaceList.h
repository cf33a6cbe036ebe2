#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace s::platform {

class RtnetlinkSocket;

struct InterfaceAddress {
  std::string address;   // dotted decimal
  std::string mask;      // dotted decimal
  bool dynamic = false;  // given for a lifetime (by a DHCP client), not permanent
};

// One network interface of the calling thread's network namespace, loopback excepted.
struct InterfaceInfo {
  int index = 0;
  std::string name;
  std::string hardwareAddress;              // "0A:1B:..", upper-case hexadecimal; empty without one
  std::vector<InterfaceAddress> addresses;  // IPv4, in the kernel's order; the first is primary
  bool isVirtual = false;                   // no device behind it in sysfs (veth, bridge, tun, ...)
  std::string device;      // the device behind it ("0000:00:03.0"); empty when virtual
  std::string driver;      // its driver ("e1000e"); empty when virtual
  bool isUp = false;       // IFF_UP
  std::string gateway;     // of its default route, dotted decimal; empty without one
  std::string dnsServer1;  // the resolver's first two IPv4 name servers, system-wide
  std::string dnsServer2;
  uint64_t rxBytes = 0;  // octet counters
  uint64_t txBytes = 0;
};

// Where the list is read from besides route netlink; tests point them at their own files.
struct InterfaceSources {
  std::string sysClassNet = "/sys/class/net";
  // The thread's own namespace view, which matters for a thread that entered another one.
  std::string routeTable = "/proc/thread-self/net/route";
  std::string resolvConf = "/etc/resolv.conf";
};

// Reads every interface but loopback, in interface-index order. Gives false (errno set) when
// route netlink cannot be read; missing route or resolver files only leave their fields empty.
bool listInterfaces(std::vector<InterfaceInfo>& interfaces,
                    const InterfaceSources& sources = InterfaceSources());
// The same through a route netlink socket the caller keeps (of the namespace it was opened in).
bool listInterfaces(RtnetlinkSocket& netlink, std::vector<InterfaceInfo>& interfaces,
                    const InterfaceSources& sources = InterfaceSources());

// The gateway of `interfaceName`'s default route (lowest metric) in a /proc/net/route table, in
// dotted decimal, or empty.
std::string defaultGateway(const std::string& routeTable, const std::string& interfaceName);

// The first two IPv4 "nameserver" entries of a resolv.conf file.
void nameServers(const std::string& resolvConf, std::string& first, std::string& second);

// Dotted decimal of an address in network byte order.
std::string dottedAddress(uint32_t address);

}  // namespace s::platform
