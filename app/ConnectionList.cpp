#include "app/ConnectionList.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/col/ArrayP.h"
#include "network/ConnectionTables.h"
#include "network/HostNames.h"

namespace s::app {

namespace {

using system::network::IConnection;

constexpr size_t kFields = 9;
using Line = std::array<std::string, kFields>;

std::string utf8(std::u16string_view text) {
  str::StrBuffer* buffer = str::StrBuffer::of(text);
  std::string bytes = buffer->toUtf8String();
  buffer->release();
  return bytes;
}

// The host name of an address text, or the text itself; blocking, cached.
std::string hostOf(std::u16string_view address) {
  if (address.empty()) {
    return {};
  }
  str::StrBuffer* name = system::network::resolveHostNameNow(address);
  std::string text = name->empty() ? utf8(address) : name->toUtf8String();
  name->release();
  return text;
}

Line lineOf(IConnection& record, bool resolve) {
  Line line;
  line[0] = utf8(record.getProtocolText());
  line[1] = utf8(record.getStateText());
  line[2] = utf8(record.getPidText());
  line[3] = utf8(record.getProcessName());
  if (resolve) {
    record.resolveLocalHostName();
    line[4] = utf8(record.getLocalHostText());
  } else {
    line[4] = utf8(record.getLocalAddressText());
  }
  line[5] = utf8(record.getLocalPortText());
  // The remote name waits for the background resolver in the records; a listing asks at once.
  bool named = resolve && record.getProtocol() == IConnection::kProtocolTcp &&
               record.getState() != system::network::TcpConnection::kListening;
  if (named) {
    line[6] = hostOf(record.getRemoteAddressText());
  } else if (resolve) {
    line[6] = utf8(record.getRemoteHostText());
  } else {
    line[6] = utf8(record.getRemoteAddressText());
  }
  line[7] = utf8(record.getRemotePortText());
  line[8] = utf8(record.getProcessPath());
  return line;
}

template <class Record>
void collect(const col::Map<Record>* set, std::vector<IConnection*>& records) {
  col::ArrayP<Record> elements;
  set->elements(elements);
  for (Record* record : elements) {
    records.push_back(record);
  }
}

void print(const std::vector<Line>& lines, bool tsv) {
  if (tsv) {
    for (const Line& line : lines) {
      for (size_t i = 0; i < kFields; ++i) {
        std::fputs(line[i].c_str(), stdout);
        std::fputc(i + 1 < kFields ? '\t' : '\n', stdout);
      }
    }
    return;
  }
  std::array<size_t, kFields> widths{};
  for (const Line& line : lines) {
    for (size_t i = 0; i < kFields; ++i) {
      widths[i] = std::max(widths[i], line[i].size());
    }
  }
  for (const Line& line : lines) {
    std::string text;
    for (size_t i = 0; i < kFields; ++i) {
      text += line[i];
      if (i + 1 < kFields) {
        text.append(widths[i] - line[i].size() + 2, ' ');
      }
    }
    while (!text.empty() && text.back() == ' ') {
      text.pop_back();
    }
    std::puts(text.c_str());
  }
}

}  // namespace

int runConnectionList(int argc, char** argv) {
  bool resolve = false;
  bool tsv = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--resolve") == 0) {
      resolve = true;
    } else if (std::strcmp(argv[i], "--tsv") == 0) {
      tsv = true;
    } else if (std::strcmp(argv[i], "--list") != 0) {
      std::fprintf(stderr, "netvigil: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  system::network::win::TcpConnectionSet* tcp = system::network::win::readTcpConnections();
  system::network::win::UdpConnectionSet* udp = system::network::win::readUdpConnections();
  std::vector<IConnection*> records;
  collect(tcp, records);
  collect(udp, records);
  std::stable_sort(records.begin(), records.end(), [](IConnection* a, IConnection* b) {
    if (a->getProtocol() != b->getProtocol()) {
      return a->getProtocol() < b->getProtocol();
    }
    return a->getPid() < b->getPid();
  });
  std::vector<Line> lines;
  lines.reserve(records.size() + 1);
  if (!tsv) {
    lines.push_back({"Proto", "State", "PID", "Process", "Local Address", "Port", "Remote Address",
                     "Port", "Path"});
  }
  for (IConnection* record : records) {
    lines.push_back(lineOf(*record, resolve));
  }
  print(lines, tsv);
  size_t unseen = std::count_if(records.begin(), records.end(),
                                [](IConnection* record) { return record->getPid() < 0; });
  if (unseen > 0) {
    // Said on stderr so that it never mixes with the table a script reads.
    std::fprintf(
        stderr,
        "netvigil: %zu socket(s) belong to processes of other users and show \"-\" as their "
        "owner; granting cap_sys_ptrace (see the README) lets the program see them\n",
        unseen);
  }
  tcp->release();
  udp->release();
  return 0;
}

}  // namespace s::app
