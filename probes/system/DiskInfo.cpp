#include "probes/system/DiskInfo.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace s::system::probes {

namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute without its surrounding blanks; empty when missing.
std::string attribute(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  const size_t start = line.find_first_not_of(" \t");
  const size_t end = line.find_last_not_of(" \t\r");
  return start == std::string::npos ? std::string() : line.substr(start, end - start + 1);
}

}  // namespace

std::vector<DiskInfo> readDisks(const std::string& sysBlock, const std::string& dev) {
  std::vector<DiskInfo> disks;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(sysBlock, error)) {
    const fs::path device = entry.path() / "device";
    if (!fs::exists(device, error)) {
      continue;
    }
    DiskInfo disk;
    disk.name = entry.path().filename().string();
    const std::string vendor = attribute(device / "vendor");
    const std::string model = attribute(device / "model");
    disk.model = vendor;
    if (!vendor.empty() && !model.empty()) {
      disk.model += ' ';
    }
    disk.model += model;
    if (disk.model.empty()) {
      disk.model = "UnKnown Model";
    }
    disk.firmware = attribute(device / "rev");
    if (disk.firmware.empty()) {
      disk.firmware = attribute(device / "firmware_rev");
    }
    if (disk.firmware.empty()) {
      disk.firmware = "UnKnown Firmware";
    }
    // The size in 512-byte sectors, whatever the disk's own sector size.
    const std::string sectors = attribute(entry.path() / "size");
    uint64_t count = 0;
    std::from_chars(sectors.data(), sectors.data() + sectors.size(), count);
    disk.bytes = count * 512;
    // Read-only and at once closed: only whether it may be opened counts.
    const int fd = ::open((dev + "/" + disk.name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    disk.deviceAccessible = fd >= 0;
    if (fd >= 0) {
      ::close(fd);
    }
    disks.push_back(std::move(disk));
  }
  std::sort(disks.begin(), disks.end(),
            [](const DiskInfo& a, const DiskInfo& b) { return a.name < b.name; });
  return disks;
}

}  // namespace s::system::probes
