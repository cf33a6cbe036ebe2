#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/linux/rights/RightsMessages.h"

namespace s::platform::rights {
namespace {

void setIpv4(uint8_t (&address)[16], const char* dotted) {
  std::memset(address, 0, sizeof address);
  inet_pton(AF_INET, dotted, address);
}

void setIpv6(uint8_t (&address)[16], const char* text) {
  inet_pton(AF_INET6, text, address);
}

RequestBytes goodCapture() {
  CaptureSocketRequest body;
  body.ifindex = 2;
  body.family = AF_INET;
  setIpv4(body.address, "10.213.0.1");
  return captureSocketRequest(body);
}

RequestBytes goodDestroy() {
  DestroyTcpRequest body;
  body.family = AF_INET;
  body.localPort = 40000;
  body.remotePort = 443;
  setIpv4(body.local, "10.213.0.1");
  setIpv4(body.remote, "10.213.0.2");
  return destroyTcpRequest(body, 0);
}

RequestBytes goodOwners() {
  SocketOwnersRequest body;
  body.ipProtocol = IPPROTO_TCP;
  body.count = 2;
  body.inodes[0] = 1234;
  body.inodes[1] = 5678;
  return socketOwnersRequest(body);
}

template <class Body>
Body bodyOf(const RequestBytes& wire) {
  Body body;
  std::memcpy(&body, wire.body, sizeof body);
  return body;
}

template <class Body>
void putBody(RequestBytes& wire, const Body& body) {
  std::memcpy(wire.body, &body, sizeof body);
}

struct Case {
  const char* name;
  std::function<RequestBytes()> make;
  RequestCheck expected;
};

RequestBytes changedCapture(const std::function<void(CaptureSocketRequest&)>& change) {
  RequestBytes wire = goodCapture();
  auto body = bodyOf<CaptureSocketRequest>(wire);
  change(body);
  putBody(wire, body);
  return wire;
}

RequestBytes changedDestroy(const std::function<void(DestroyTcpRequest&)>& change) {
  RequestBytes wire = goodDestroy();
  auto body = bodyOf<DestroyTcpRequest>(wire);
  change(body);
  putBody(wire, body);
  return wire;
}

RequestBytes changedOwners(const std::function<void(SocketOwnersRequest&)>& change) {
  RequestBytes wire = goodOwners();
  auto body = bodyOf<SocketOwnersRequest>(wire);
  change(body);
  putBody(wire, body);
  return wire;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> table = {
      {"capture", goodCapture, RequestCheck::kOk},
      {"destroy", goodDestroy, RequestCheck::kOk},
      {"destroy without answer",
       [] {
         RequestBytes wire = goodDestroy();
         wire.header.flags = kNoAnswer;
         return wire;
       },
       RequestCheck::kOk},
      {"owners", goodOwners, RequestCheck::kOk},
      {"capture on IPv6",
       [] {
         return changedCapture([](CaptureSocketRequest& b) {
           b.family = AF_INET6;
           setIpv6(b.address, "fd00::1");
         });
       },
       RequestCheck::kOk},
      // The header.
      {"version 0",
       [] {
         RequestBytes wire = goodOwners();
         wire.header.version = 0;
         return wire;
       },
       RequestCheck::kWrongVersion},
      {"version 2",
       [] {
         RequestBytes wire = goodCapture();
         wire.header.version = 2;
         return wire;
       },
       RequestCheck::kWrongVersion},
      {"kind 0",
       [] {
         RequestBytes wire = goodCapture();
         wire.header.kind = 0;
         return wire;
       },
       RequestCheck::kUnknownKind},
      {"kind 4",
       [] {
         RequestBytes wire = goodCapture();
         wire.header.kind = 4;
         return wire;
       },
       RequestCheck::kUnknownKind},
      {"kind 0xffff",
       [] {
         RequestBytes wire = goodOwners();
         wire.header.kind = 0xffff;
         return wire;
       },
       RequestCheck::kUnknownKind},
      {"no-answer flag on a capture",
       [] {
         RequestBytes wire = goodCapture();
         wire.header.flags = kNoAnswer;
         return wire;
       },
       RequestCheck::kUnknownFlags},
      {"unknown flag on a destroy",
       [] {
         RequestBytes wire = goodDestroy();
         wire.header.flags = 2;
         return wire;
       },
       RequestCheck::kUnknownFlags},
      {"header reserved",
       [] {
         RequestBytes wire = goodOwners();
         wire.header.reserved = 1;
         return wire;
       },
       RequestCheck::kReservedNotZero},
      {"header reserved2",
       [] {
         RequestBytes wire = goodOwners();
         wire.header.reserved2 = 0x80000000;
         return wire;
       },
       RequestCheck::kReservedNotZero},
      {"a byte after the capture body",
       [] {
         RequestBytes wire = goodCapture();
         wire.body[sizeof(CaptureSocketRequest)] = 1;
         return wire;
       },
       RequestCheck::kReservedNotZero},
      {"the last byte after a destroy body",
       [] {
         RequestBytes wire = goodDestroy();
         wire.body[kRequestBodySize - 1] = 0xff;
         return wire;
       },
       RequestCheck::kReservedNotZero},
      // Capture fields.
      {"interface 0", [] { return changedCapture([](auto& b) { b.ifindex = 0; }); },
       RequestCheck::kBadInterface},
      {"interface -1", [] { return changedCapture([](auto& b) { b.ifindex = -1; }); },
       RequestCheck::kBadInterface},
      {"family 0", [] { return changedCapture([](auto& b) { b.family = 0; }); },
       RequestCheck::kBadFamily},
      {"family AF_PACKET", [] { return changedCapture([](auto& b) { b.family = AF_PACKET; }); },
       RequestCheck::kBadFamily},
      {"capture reserved", [] { return changedCapture([](auto& b) { b.reserved = 7; }); },
       RequestCheck::kReservedNotZero},
      {"IPv4 0.0.0.0",
       [] { return changedCapture([](auto& b) { setIpv4(b.address, "0.0.0.0"); }); },
       RequestCheck::kBadAddress},
      {"IPv4 broadcast",
       [] { return changedCapture([](auto& b) { setIpv4(b.address, "255.255.255.255"); }); },
       RequestCheck::kBadAddress},
      {"IPv4 multicast",
       [] { return changedCapture([](auto& b) { setIpv4(b.address, "224.0.0.251"); }); },
       RequestCheck::kBadAddress},
      {"IPv4 loopback capture",
       [] { return changedCapture([](auto& b) { setIpv4(b.address, "127.0.0.1"); }); },
       RequestCheck::kBadAddress},
      {"IPv4 with bytes past its four",
       [] { return changedCapture([](auto& b) { b.address[15] = 1; }); },
       RequestCheck::kBadAddress},
      {"IPv6 unspecified",
       [] {
         return changedCapture([](auto& b) {
           b.family = AF_INET6;
           setIpv6(b.address, "::");
         });
       },
       RequestCheck::kBadAddress},
      {"IPv6 multicast",
       [] {
         return changedCapture([](auto& b) {
           b.family = AF_INET6;
           setIpv6(b.address, "ff02::1");
         });
       },
       RequestCheck::kBadAddress},
      {"IPv6 loopback capture",
       [] {
         return changedCapture([](auto& b) {
           b.family = AF_INET6;
           setIpv6(b.address, "::1");
         });
       },
       RequestCheck::kBadAddress},
      {"IPv4-mapped IPv6",
       [] {
         return changedCapture([](auto& b) {
           b.family = AF_INET6;
           setIpv6(b.address, "::ffff:10.213.0.1");
         });
       },
       RequestCheck::kBadAddress},
      // Destroy fields.
      {"loopback connection",
       [] {
         return changedDestroy([](auto& b) {
           setIpv4(b.local, "127.0.0.1");
           setIpv4(b.remote, "127.0.0.1");
         });
       },
       RequestCheck::kOk},
      {"local port 0", [] { return changedDestroy([](auto& b) { b.localPort = 0; }); },
       RequestCheck::kBadPort},
      {"remote port 0", [] { return changedDestroy([](auto& b) { b.remotePort = 0; }); },
       RequestCheck::kBadPort},
      {"remote 0.0.0.0",
       [] { return changedDestroy([](auto& b) { setIpv4(b.remote, "0.0.0.0"); }); },
       RequestCheck::kBadAddress},
      {"local multicast",
       [] { return changedDestroy([](auto& b) { setIpv4(b.local, "239.1.1.1"); }); },
       RequestCheck::kBadAddress},
      {"destroy family 99", [] { return changedDestroy([](auto& b) { b.family = 99; }); },
       RequestCheck::kBadFamily},
      {"destroy reserved", [] { return changedDestroy([](auto& b) { b.reserved = 1; }); },
       RequestCheck::kReservedNotZero},
      // Owner fields.
      {"protocol ICMP", [] { return changedOwners([](auto& b) { b.ipProtocol = IPPROTO_ICMP; }); },
       RequestCheck::kBadProtocol},
      {"UDP owners", [] { return changedOwners([](auto& b) { b.ipProtocol = IPPROTO_UDP; }); },
       RequestCheck::kOk},
      {"count 0", [] { return changedOwners([](auto& b) { b.count = 0; }); },
       RequestCheck::kBadCount},
      {"count past the slots",
       [] { return changedOwners([](auto& b) { b.count = kMaxInodes + 1; }); },
       RequestCheck::kBadCount},
      {"count 0xffffffff", [] { return changedOwners([](auto& b) { b.count = 0xffffffff; }); },
       RequestCheck::kBadCount},
      {"every slot",
       [] {
         return changedOwners([](auto& b) {
           b.count = kMaxInodes;
           for (uint32_t i = 0; i < kMaxInodes; ++i) {
             b.inodes[i] = i + 1;
           }
         });
       },
       RequestCheck::kOk},
      {"inode 0 within the count", [] { return changedOwners([](auto& b) { b.inodes[1] = 0; }); },
       RequestCheck::kBadInode},
      {"an inode past the count", [] { return changedOwners([](auto& b) { b.inodes[2] = 9; }); },
       RequestCheck::kReservedNotZero},
      {"owners reserved", [] { return changedOwners([](auto& b) { b.reserved[2] = 1; }); },
       RequestCheck::kReservedNotZero},
  };
  return table;
}

TEST(RightsRequests, EachFieldIsCheckedAgainstWhatTheHelperExpects) {
  for (const Case& c : cases()) {
    RequestBytes wire = c.make();
    Request request;
    EXPECT_EQ(parseRequest(&wire, sizeof wire, request), c.expected)
        << c.name << ": " << requestCheckName(parseRequest(&wire, sizeof wire, request));
  }
}

TEST(RightsRequests, OnlyTheOneSizeIsARequest) {
  RequestBytes wire = goodOwners();
  std::vector<uint8_t> bytes(sizeof wire + 1, 0);
  std::memcpy(bytes.data(), &wire, sizeof wire);
  Request request;
  for (size_t size :
       {size_t{0}, size_t{1}, sizeof(RequestHeader), sizeof wire - 1, sizeof wire + 1}) {
    EXPECT_EQ(parseRequest(bytes.data(), size, request), RequestCheck::kWrongSize) << size;
  }
  EXPECT_EQ(parseRequest(nullptr, sizeof wire, request), RequestCheck::kWrongSize);
  EXPECT_EQ(parseRequest(bytes.data(), sizeof wire, request), RequestCheck::kOk);
}

TEST(RightsRequests, AWellFormedRequestGivesItsFieldsBack) {
  RequestBytes wire = goodDestroy();
  wire.header.sequence = 77;
  Request request;
  ASSERT_EQ(parseRequest(&wire, sizeof wire, request), RequestCheck::kOk);
  EXPECT_EQ(request.kind, RequestKind::kDestroyTcp);
  EXPECT_EQ(request.header.sequence, 77U);
  EXPECT_EQ(request.destroy.localPort, 40000);
  EXPECT_EQ(request.destroy.remotePort, 443);
  EXPECT_EQ(request.destroy.remote[3], 2);
}

TEST(RightsAnswers, OnlyWellFormedAnswersAreTaken) {
  Answer answer;
  answer.kind = static_cast<uint16_t>(AnswerKind::kSocketOwners);
  answer.count = 3;
  Answer read;
  EXPECT_TRUE(parseAnswer(&answer, sizeof answer, read));
  EXPECT_EQ(read.count, 3U);
  EXPECT_FALSE(parseAnswer(&answer, sizeof answer - 1, read));
  Answer wrong = answer;
  wrong.kind = 9;
  EXPECT_FALSE(parseAnswer(&wrong, sizeof wrong, read));
  wrong = answer;
  wrong.count = kMaxInodes + 1;
  EXPECT_FALSE(parseAnswer(&wrong, sizeof wrong, read));
  wrong = answer;
  wrong.version = 3;
  EXPECT_FALSE(parseAnswer(&wrong, sizeof wrong, read));
  wrong = answer;
  wrong.error = -1;
  EXPECT_FALSE(parseAnswer(&wrong, sizeof wrong, read));
}

}  // namespace
}  // namespace s::platform::rights
