#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "framework/file/AtomicWrite.h"
#include "tests/support/TempFolder.h"

namespace s::file {
namespace {

namespace fs = std::filesystem;
using test::fileText;

constexpr AtomicWrite kUsualFollowing{.mode = AtomicWrite::Mode::kUsual,
                                      .link = AtomicWrite::Link::kFollow};

mode_t modeOf(const fs::path& path) {
  struct stat info {};
  lstat(path.c_str(), &info);
  return info.st_mode & 0777;
}

// Sets the umask for the holder's life.
class Umask {
 public:
  explicit Umask(mode_t mask) : previous_(umask(mask)) {}
  ~Umask() { umask(previous_); }
  Umask(const Umask&) = delete;
  Umask& operator=(const Umask&) = delete;

 private:
  mode_t previous_;
};

TEST(AtomicWrite, ModesOfNewAndReplacedFiles) {
  test::TempFolder folder;
  for (mode_t mask : {022, 077, 002}) {
    Umask set(mask);
    EXPECT_EQ(currentUmask(), mask);
    fs::path page = folder.path("new-" + std::to_string(mask) + ".htm");
    ASSERT_TRUE(writeFileAtomically(page.string(), "page", kUsualFollowing));
    EXPECT_EQ(modeOf(page), 0666 & ~mask) << mask;
  }
  Umask set(022);
  // A replaced file keeps the mode its owner gave it; the program's own files stay private.
  fs::path shared = folder.path("shared.htm");
  std::ofstream(shared) << "old";
  chmod(shared.c_str(), 0640);
  ASSERT_TRUE(writeFileAtomically(shared.string(), "new", kUsualFollowing));
  EXPECT_EQ(modeOf(shared), 0640);
  EXPECT_EQ(fileText(shared), "new");
  fs::path settings = folder.path("SaveData.xml");
  ASSERT_TRUE(writeFileAtomically(settings.string(), "<x/>"));
  EXPECT_EQ(modeOf(settings), 0600);
}

TEST(AtomicWrite, LinksAreWrittenThroughToTheirFinalTarget) {
  test::TempFolder folder;
  fs::create_directory(folder.path("pages"));
  fs::path target = folder.path("pages/log.htm");
  std::ofstream(target) << "old";
  // A relative link to a relative link.
  fs::create_symlink("pages/log.htm", folder.path("inner"));
  fs::create_symlink("inner", folder.path("chosen.htm"));
  ASSERT_TRUE(writeFileAtomically(folder.path("chosen.htm").string(), "new", kUsualFollowing));
  EXPECT_TRUE(fs::is_symlink(folder.path("chosen.htm")));
  EXPECT_TRUE(fs::is_symlink(folder.path("inner")));
  EXPECT_EQ(fileText(target), "new");

  // A link to a file not made yet makes it.
  fs::create_symlink(folder.path("pages/later.htm"), folder.path("dangling"));
  ASSERT_TRUE(writeFileAtomically(folder.path("dangling").string(), "later", kUsualFollowing));
  EXPECT_EQ(fileText(folder.path("pages/later.htm")), "later");

  // No temporary file is left beside any of them.
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::recursive_directory_iterator(folder.root())) {
    ++files;
  }
  EXPECT_EQ(files, 6U);
}

TEST(AtomicWrite, LoopsAndMissingFoldersFailAndChangeNothing) {
  test::TempFolder folder;
  fs::create_symlink("b", folder.path("a"));
  fs::create_symlink("a", folder.path("b"));
  EXPECT_FALSE(writeFileAtomically(folder.path("a").string(), "x", kUsualFollowing));
  EXPECT_TRUE(fs::is_symlink(folder.path("a")));
  EXPECT_FALSE(writeFileAtomically(folder.path("none/x.htm").string(), "x", kUsualFollowing));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.root()), fs::directory_iterator()), 2);

  // Without following, a link is replaced by the file and its target is untouched.
  std::ofstream(folder.path("target")) << "kept";
  fs::create_symlink("target", folder.path("link"));
  ASSERT_TRUE(writeFileAtomically(folder.path("link").string(), "file"));
  EXPECT_FALSE(fs::is_symlink(folder.path("link")));
  EXPECT_EQ(fileText(folder.path("target")), "kept");
}

}  // namespace
}  // namespace s::file
