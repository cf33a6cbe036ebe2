#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/linux/FileFacts.h"
#include "tests/platform/linux/Sockets.h"
#include "tests/support/TempFolder.h"

namespace s::platform {
namespace {

TEST(FileFacts, SizeOwnerModeTimeAndCapabilitiesOfARealFile) {
  s::test::TempFolder folder;
  std::string path = folder.path("helper").string();
  std::ofstream(path) << "12345";
  chmod(path.c_str(), 04750);
  struct stat info {};
  stat(path.c_str(), &info);

  FileFacts facts;
  ASSERT_TRUE(readFileFacts(path, facts));
  EXPECT_EQ(facts.path, path);
  EXPECT_EQ(facts.size, 5);
  EXPECT_EQ(facts.owner, "root:root");
  EXPECT_EQ(modeText(facts.mode), "-rwsr-x---");
  EXPECT_EQ(facts.modifiedMs, info.st_mtim.tv_sec * 1000 + info.st_mtim.tv_nsec / 1000000);
  EXPECT_EQ(facts.capabilities, "");

  // The capabilities as setcap sets them, read back in getcap's words.
  const std::pair<const char*, const char*> cases[] = {
      {"cap_net_raw+ep", "cap_net_raw=ep"},
      {"cap_net_raw,cap_sys_ptrace+eip", "cap_net_raw,cap_sys_ptrace=eip"},
      {"cap_chown+i", "cap_chown=i"},
      {"cap_net_admin+p cap_net_raw+ip", "cap_net_raw=ip cap_net_admin=p"},
  };
  for (const auto& [set, shown] : cases) {
    ASSERT_EQ(test::run({"setcap", set, path}), 0) << set;
    ASSERT_TRUE(readFileFacts(path, facts));
    EXPECT_EQ(facts.capabilities, shown) << set;
  }
  // Unknown owners show as numbers.
  ASSERT_EQ(chown(path.c_str(), 54321, 54322), 0);
  ASSERT_TRUE(readFileFacts(path, facts));
  EXPECT_EQ(facts.owner, "54321:54322");
  EXPECT_FALSE(readFileFacts(folder.path("gone").string(), facts));
}

TEST(FileFacts, ModeTextsAndMalformedCapabilities) {
  const std::pair<uint32_t, const char*> modes[] = {
      {S_IFREG | 0644, "-rw-r--r--"},  {S_IFDIR | 01777, "drwxrwxrwt"},
      {S_IFDIR | 01770, "drwxrwx--T"}, {S_IFREG | 06644, "-rwSr-Sr--"},
      {S_IFLNK | 0777, "lrwxrwxrwx"},  {S_IFSOCK | 0755, "srwxr-xr-x"},
  };
  for (const auto& [mode, text] : modes) {
    EXPECT_EQ(modeText(mode), text) << text;
  }
  const unsigned char wrongRevision[20] = {0, 0, 0, 9};
  const unsigned char tooShort[8] = {0, 0, 0, 2};
  EXPECT_EQ(capabilityText(wrongRevision, sizeof wrongRevision), "");
  EXPECT_EQ(capabilityText(tooShort, sizeof tooShort), "");
}

}  // namespace
}  // namespace s::platform
