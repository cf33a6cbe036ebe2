#include "probes/system/OsInfo.h"

#include <sys/utsname.h>

#include <charconv>
#include <fstream>
#include <sstream>

namespace s::system::probes {

namespace {

std::string fileText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The value of `key` in an os-release text, without its quotes; empty when missing.
std::string valueOf(std::string_view text, std::string_view key) {
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    start = end == std::string_view::npos ? text.size() : end + 1;
    if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=') {
      std::string_view value = line.substr(key.size() + 1);
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
      }
      std::string out;
      for (size_t i = 0; i < value.size(); ++i) {
        // Shell escapes inside double quotes.
        if (value[i] == '\\' && i + 1 < value.size()) {
          ++i;
        }
        out += value[i];
      }
      return out;
    }
  }
  return {};
}

}  // namespace

void parseRelease(std::string_view release, int& major, int& minor, int& build) {
  int* parts[] = {&major, &minor, &build};
  for (int* part : parts) {
    *part = 0;
  }
  const char* at = release.data();
  const char* end = release.data() + release.size();
  for (int* part : parts) {
    auto [next, error] = std::from_chars(at, end, *part);
    if (error != std::errc() || next == end || *next != '.') {
      return;
    }
    at = next + 1;
  }
}

std::string prettyName(std::string_view osRelease) {
  std::string pretty = valueOf(osRelease, "PRETTY_NAME");
  if (!pretty.empty()) {
    return pretty;
  }
  std::string name = valueOf(osRelease, "NAME");
  std::string version = valueOf(osRelease, "VERSION");
  return version.empty() ? name : name + " " + version;
}

bool isMachine64Bit(std::string_view machine) {
  for (std::string_view wide : {"x86_64", "aarch64", "arm64", "ppc64", "ppc64le", "s390x",
                                "riscv64", "mips64", "loongarch64", "sparc64", "alpha", "ia64"}) {
    if (machine == wide) {
      return true;
    }
  }
  return false;
}

OsInfo readOsInfo() {
  OsInfo info;
  utsname name{};
  if (uname(&name) == 0) {
    info.kernel =
        std::string(name.sysname) + " " + name.release + " " + name.version + " " + name.machine;
    parseRelease(name.release, info.major, info.minor, info.build);
    info.is64Bit = isMachine64Bit(name.machine);
  }
  // A 64-bit program runs on a 64-bit system whatever uname's personality says.
  info.is64Bit = info.is64Bit || sizeof(void*) == 8;
  std::string osRelease = fileText("/etc/os-release");
  if (osRelease.empty()) {
    osRelease = fileText("/usr/lib/os-release");
  }
  info.distribution = prettyName(osRelease);
  if (info.distribution.empty()) {
    info.distribution = "Linux";
  }
  return info;
}

}  // namespace s::system::probes
