#include "probes/system/CpuInfo.h"

#include <sched.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <utility>

namespace s::system::probes {

namespace {

std::string_view trimmedEnd(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// Leading blanks, tabs, line breaks and ideographic spaces (U+3000, E3 80 80 in UTF-8) go.
std::string_view trimmedStart(std::string_view text) {
  for (;;) {
    if (!text.empty() &&
        (text[0] == ' ' || text[0] == '\t' || text[0] == '\r' || text[0] == '\n')) {
      text.remove_prefix(1);
    } else if (text.starts_with("\xE3\x80\x80")) {
      text.remove_prefix(3);
    } else {
      return text;
    }
  }
}

}  // namespace

CpuInfo parseCpuInfo(std::string_view text, std::string_view machine) {
  CpuInfo info;
  // The first processor's fields, by key.
  std::string family, model, stepping, implementer, part, variant, revision;
  std::set<std::string> packages;
  std::set<std::pair<std::string, std::string>> cores;
  std::string physical;
  bool first = true;
  bool coreIds = false;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    start = end == std::string_view::npos ? text.size() : end + 1;
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
      continue;
    }
    const std::string_view key = trimmedEnd(line.substr(0, colon));
    const std::string value(trimmedStart(trimmedEnd(line.substr(colon + 1))));
    if (key == "processor") {
      first = info.logical == 0;
      ++info.logical;
      physical.clear();
      continue;
    }
    if (key == "physical id") {
      physical = value;
      packages.insert(value);
    } else if (key == "core id") {
      cores.emplace(physical, value);
      coreIds = true;
    }
    if (!first || value.empty()) {
      continue;
    }
    if (key == "vendor_id" || key == "vendor") {
      info.vendor = value;
    } else if (key == "model name" || key == "cpu model" || key == "Processor") {
      info.name = value;
    } else if (key == "cpu family") {
      family = value;
    } else if (key == "model") {
      model = value;
    } else if (key == "stepping") {
      stepping = value;
    } else if (key == "CPU implementer") {
      implementer = value;
    } else if (key == "CPU part") {
      part = value;
    } else if (key == "CPU variant") {
      variant = value;
    } else if (key == "CPU revision") {
      revision = value;
    }
  }
  if (!family.empty()) {
    info.identifier =
        std::string(machine) + " Family " + family + " Model " + model + " Stepping " + stepping;
  } else if (!implementer.empty()) {
    if (info.vendor == "UnKnown Vender") {
      info.vendor = "Implementer " + implementer;
    }
    info.identifier = std::string(machine) + " Implementer " + implementer + " Part " + part +
                      " Variant " + variant + " Revision " + revision;
  } else if (!machine.empty() && info.logical > 0) {
    info.identifier = std::string(machine);
  }
  info.packages = packages.empty() ? (info.logical > 0 ? 1 : 0) : static_cast<int>(packages.size());
  info.cores = coreIds ? static_cast<int>(cores.size()) : info.logical;
  return info;
}

CpuInfo readCpuInfo() {
  std::ifstream in("/proc/cpuinfo", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  utsname name{};
  const std::string machine = uname(&name) == 0 ? name.machine : "";
  CpuInfo info = parseCpuInfo(text.str(), machine);
  info.online = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
  cpu_set_t set;
  CPU_ZERO(&set);
  info.available = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : info.online;
  return info;
}

}  // namespace s::system::probes
