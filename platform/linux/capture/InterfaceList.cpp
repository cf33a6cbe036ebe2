#include "platform/linux/capture/InterfaceList.h"

#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <net/if.h>
#include <net/route.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "platform/linux/capture/Rtnetlink.h"

namespace s::platform {

namespace {

std::string hardwareText(const std::vector<uint8_t>& bytes) {
  std::string text;
  char digits[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : ":%02X", bytes[i]);
    text += digits;
  }
  return text;
}

uint32_t maskOfPrefix(uint8_t prefixLength) {
  if (prefixLength == 0) {
    return 0;
  }
  uint32_t hostOrder = prefixLength >= 32 ? 0xffffffffU : ~((1U << (32 - prefixLength)) - 1);
  return htonl(hostOrder);
}

// A hexadecimal word of the route table; anything else reads as all bits set, which matches
// neither a default destination nor a default mask.
uint32_t hexWord(const std::string& text) {
  char* end = nullptr;
  unsigned long value = std::strtoul(text.c_str(), &end, 16);
  if (text.empty() || *end != '\0' || value > 0xffffffffUL) {
    return 0xffffffffU;
  }
  return static_cast<uint32_t>(value);
}

// The last path element of a symbolic link's target, or empty.
std::string linkTarget(const std::string& path) {
  char target[4096];
  ssize_t size = readlink(path.c_str(), target, sizeof target - 1);
  if (size <= 0) {
    return {};
  }
  std::string text(target, static_cast<size_t>(size));
  size_t slash = text.rfind('/');
  return slash == std::string::npos ? text : text.substr(slash + 1);
}

}  // namespace

std::string dottedAddress(uint32_t address) {
  char text[INET_ADDRSTRLEN] = {};
  in_addr value{};
  value.s_addr = address;
  inet_ntop(AF_INET, &value, text, sizeof text);
  return text;
}

std::string defaultGateway(const std::string& routeTable, const std::string& interfaceName) {
  std::ifstream table(routeTable);
  std::string line;
  std::getline(table, line);  // column titles
  std::string best;
  unsigned long bestMetric = std::numeric_limits<unsigned long>::max();
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string name;
    std::string destination;
    std::string gateway;
    unsigned flags = 0;
    unsigned long references = 0;
    unsigned long use = 0;
    unsigned long metric = 0;
    std::string mask;
    if (!(fields >> name >> destination >> gateway >> std::hex >> flags >> std::dec >> references >>
          use >> metric >> mask)) {
      continue;
    }
    // The table prints the words as the kernel holds them, in network byte order.
    uint32_t gatewayWord = hexWord(gateway);
    if (name != interfaceName || gatewayWord == 0xffffffffU || hexWord(destination) != 0 ||
        hexWord(mask) != 0 || (flags & RTF_UP) == 0 || (flags & RTF_GATEWAY) == 0 ||
        metric >= bestMetric) {
      continue;
    }
    best = dottedAddress(gatewayWord);
    bestMetric = metric;
  }
  return best;
}

void nameServers(const std::string& resolvConf, std::string& first, std::string& second) {
  first.clear();
  second.clear();
  std::ifstream file(resolvConf);
  std::string line;
  while (std::getline(file, line) && second.empty()) {
    std::istringstream fields(line);
    std::string keyword;
    std::string server;
    in_addr parsed{};
    if (!(fields >> keyword >> server) || keyword != "nameserver" ||
        inet_pton(AF_INET, server.c_str(), &parsed) != 1) {
      continue;
    }
    (first.empty() ? first : second) = server;
  }
}

bool listInterfaces(std::vector<InterfaceInfo>& interfaces, const InterfaceSources& sources) {
  RtnetlinkSocket netlink;
  return listInterfaces(netlink, interfaces, sources);
}

bool listInterfaces(RtnetlinkSocket& netlink, std::vector<InterfaceInfo>& interfaces,
                    const InterfaceSources& sources) {
  interfaces.clear();
  std::vector<LinkInfo> links;
  std::vector<AddressInfo> addresses;
  if (!netlink.dumpLinks(links) || !netlink.dumpAddresses(addresses)) {
    return false;
  }
  std::sort(links.begin(), links.end(),
            [](const LinkInfo& a, const LinkInfo& b) { return a.index < b.index; });
  std::string dns1;
  std::string dns2;
  nameServers(sources.resolvConf, dns1, dns2);
  for (const LinkInfo& link : links) {
    if ((link.flags & IFF_LOOPBACK) != 0) {
      continue;
    }
    InterfaceInfo info;
    info.index = link.index;
    info.name = link.name;
    info.hardwareAddress = hardwareText(link.hardwareAddress);
    info.isUp = (link.flags & IFF_UP) != 0;
    info.rxBytes = link.rxBytes;
    info.txBytes = link.txBytes;
    for (const AddressInfo& address : addresses) {
      if (address.index == link.index) {
        info.addresses.push_back({dottedAddress(address.address.word()),
                                  dottedAddress(maskOfPrefix(address.prefixLength)),
                                  (address.flags & IFA_F_PERMANENT) == 0});
      }
    }
    std::string device = sources.sysClassNet + "/" + link.name + "/device";
    info.device = linkTarget(device);
    info.driver = linkTarget(device + "/driver");
    info.isVirtual = access(device.c_str(), F_OK) != 0;
    info.gateway = defaultGateway(sources.routeTable, link.name);
    info.dnsServer1 = dns1;
    info.dnsServer2 = dns2;
    interfaces.push_back(std::move(info));
  }
  return true;
}

}  // namespace s::platform
