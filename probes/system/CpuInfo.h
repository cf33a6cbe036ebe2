#pragma once

#include <string>
#include <string_view>

namespace s::system::probes {

// The processor as /proc/cpuinfo records its first processor, and the counts of processors.
struct CpuInfo {
  std::string vendor = "UnKnown Vender";
  std::string name = "UnKnown Processor";
  std::string identifier = "UnKnown Identifier";
  int logical = 0;    // processors /proc/cpuinfo lists
  int cores = 0;      // distinct (physical id, core id); the logical count without them
  int packages = 0;   // distinct physical ids; 1 for processors without them
  int online = 0;     // the processors online
  int available = 0;  // those this process may run on, as nproc counts them
};

// The vendor, name, identifier and the three counts of a /proc/cpuinfo text; `machine` (uname
// -m) begins the identifier. Names lose their leading blanks (tabs, ideographic spaces, line
// breaks too).
CpuInfo parseCpuInfo(std::string_view text, std::string_view machine);

// /proc/cpuinfo, with the online and available counts of the system.
CpuInfo readCpuInfo();

}  // namespace s::system::probes
