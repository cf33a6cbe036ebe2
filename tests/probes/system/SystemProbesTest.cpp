#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "probes/system/CodePage.h"
#include "probes/system/CpuInfo.h"
#include "probes/system/DiskInfo.h"
#include "probes/system/OsInfo.h"
#include "tests/support/TempFolder.h"

namespace s::system::probes {
namespace {

TEST(OsInfo, ReleaseNumbersAndTheDistributionsName) {
  struct Case {
    std::string_view release;
    int major, minor, build;
  };
  const Case releases[] = {{"6.1.0-18-amd64", 6, 1, 0},
                           {"5.15.133.1-microsoft-standard-WSL2", 5, 15, 133},
                           {"6.18.44-fc-v1523", 6, 18, 44},
                           {"4.9", 4, 9, 0},
                           {"weird", 0, 0, 0}};
  for (const Case& c : releases) {
    int major = -1, minor = -1, build = -1;
    parseRelease(c.release, major, minor, build);
    EXPECT_EQ(major, c.major) << c.release;
    EXPECT_EQ(minor, c.minor) << c.release;
    EXPECT_EQ(build, c.build) << c.release;
  }
  EXPECT_EQ(
      prettyName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
      "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(prettyName("NAME=Alpine\nVERSION='3.19'\n"), "Alpine 3.19");
  EXPECT_EQ(prettyName("PRETTY_NAME=\"A \\\"quoted\\\" name\""), "A \"quoted\" name");
  EXPECT_EQ(prettyName(""), "");
  EXPECT_TRUE(isMachine64Bit("x86_64"));
  EXPECT_TRUE(isMachine64Bit("aarch64"));
  EXPECT_FALSE(isMachine64Bit("i686"));
  EXPECT_FALSE(isMachine64Bit("armv7l"));
  // A 64-bit program's system is 64-bit.
  if (sizeof(void*) == 8) {
    EXPECT_TRUE(readOsInfo().is64Bit);
  }
  EXPECT_FALSE(readOsInfo().kernel.empty());
}

TEST(CpuInfo, FirstProcessorsNamesAndTheCounts) {
  // Two packages of two cores with two threads each, the name padded as some firmware does.
  std::string x86;
  for (int p = 0; p < 8; ++p) {
    x86 += "processor\t: " + std::to_string(p) +
           "\nvendor_id\t: GenuineIntel\n"
           "cpu family\t: 6\nmodel\t\t: 158\nmodel name\t: \t  \xE3\x80\x80Intel(R) Core(TM) "
           "i7-8700 CPU @ 3.20GHz\nstepping\t: 10\nphysical id\t: " +
           std::to_string(p / 4) + "\ncore id\t\t: " + std::to_string((p / 2) % 2) + "\n\n";
  }
  CpuInfo intel = parseCpuInfo(x86, "x86_64");
  EXPECT_EQ(intel.vendor, "GenuineIntel");
  EXPECT_EQ(intel.name, "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz");
  EXPECT_EQ(intel.identifier, "x86_64 Family 6 Model 158 Stepping 10");
  EXPECT_EQ(intel.logical, 8);
  EXPECT_EQ(intel.cores, 4);
  EXPECT_EQ(intel.packages, 2);

  const std::string arm =
      "processor\t: 0\nBogoMIPS\t: 48.00\nCPU implementer\t: 0x41\nCPU architecture: 8\n"
      "CPU variant\t: 0x0\nCPU part\t: 0xd08\nCPU revision\t: 3\n\n"
      "processor\t: 1\nCPU implementer\t: 0x41\n";
  CpuInfo cortex = parseCpuInfo(arm, "aarch64");
  EXPECT_EQ(cortex.vendor, "Implementer 0x41");
  EXPECT_EQ(cortex.name, "UnKnown Processor");
  EXPECT_EQ(cortex.identifier, "aarch64 Implementer 0x41 Part 0xd08 Variant 0x0 Revision 3");
  EXPECT_EQ(cortex.logical, 2);
  EXPECT_EQ(cortex.cores, 2);
  EXPECT_EQ(cortex.packages, 1);

  CpuInfo nothing = parseCpuInfo("", "x86_64");
  EXPECT_EQ(nothing.vendor, "UnKnown Vender");
  EXPECT_EQ(nothing.identifier, "UnKnown Identifier");
  EXPECT_EQ(nothing.logical, 0);

  CpuInfo here = readCpuInfo();
  EXPECT_GT(here.logical, 0);
  EXPECT_GT(here.available, 0);
  EXPECT_LE(here.available, here.online);
}

TEST(CodePage, CharacterSetsAndTheirNumbers) {
  EXPECT_EQ(charsetNumber("UTF-8"), 106);
  EXPECT_EQ(charsetNumber("utf-8"), 106);
  EXPECT_EQ(charsetNumber("ANSI_X3.4-1968"), 3);
  EXPECT_EQ(charsetNumber("ISO-8859-15"), 111);
  EXPECT_EQ(charsetNumber("no such set"), 0);
  CodePage page = readCodePage();
  EXPECT_FALSE(page.charset.empty());
  EXPECT_FALSE(page.locale.empty());
}

TEST(DiskInfo, PhysicalDisksOnlyWithTheirDevices) {
  s::test::TempFolder root;
  namespace fs = std::filesystem;
  auto write = [&root](const std::string& path, const std::string& text) {
    fs::create_directories(root.path(path).parent_path());
    std::ofstream(root.path(path)) << text;
  };
  write("block/sdb/device/vendor", "ATA     \n");
  write("block/sdb/device/model", "Samsung SSD 860 \n");
  write("block/sdb/device/rev", "4B6Q\n");
  write("block/sdb/size", "1953525168\n");
  write("block/nvme0n1/device/model", "WD Blue SN570\n");
  write("block/nvme0n1/device/firmware_rev", "234110WD\n");
  write("block/nvme0n1/size", "100\n");
  write("block/loop0/size", "0\n");  // no device: not a disk
  write("dev/nvme0n1", "");
  chmod(root.path("dev/nvme0n1").c_str(), 0644);
  std::vector<DiskInfo> disks = readDisks(root.path("block").string(), root.path("dev").string());
  ASSERT_EQ(disks.size(), 2u);
  EXPECT_EQ(disks[0].name, "nvme0n1");
  EXPECT_EQ(disks[0].model, "WD Blue SN570");
  EXPECT_EQ(disks[0].firmware, "234110WD");
  EXPECT_EQ(disks[0].bytes, 51200u);
  EXPECT_TRUE(disks[0].deviceAccessible);
  EXPECT_EQ(disks[1].name, "sdb");
  EXPECT_EQ(disks[1].model, "ATA Samsung SSD 860");
  EXPECT_EQ(disks[1].firmware, "4B6Q");
  EXPECT_EQ(disks[1].bytes, 1953525168ull * 512);
  EXPECT_FALSE(disks[1].deviceAccessible);
}

}  // namespace
}  // namespace s::system::probes
