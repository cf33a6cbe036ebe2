#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace s::system::probes {

// One physical disk of /sys/block (a block device with a device behind it: no loop, RAM,
// device-mapper or software RAID devices).
struct DiskInfo {
  std::string name;      // "sda", "nvme0n1", "vda"
  std::string model;     // vendor and model; "UnKnown Model" without them
  std::string firmware;  // revision; "UnKnown Firmware" without one
  uint64_t bytes = 0;
  // Whether this process may open the disk's device node: the S.M.A.R.T. data would need it
  // (and more rights still), which a plain user lacks.
  bool deviceAccessible = false;
};

// The disks of `sysBlock` (/sys/block) in name order, their device nodes in `dev`.
std::vector<DiskInfo> readDisks(const std::string& sysBlock = "/sys/block",
                                const std::string& dev = "/dev");

}  // namespace s::system::probes
