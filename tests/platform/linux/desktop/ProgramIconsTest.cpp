#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "framework/file/DesktopEntry.h"
#include "platform/linux/desktop/DesktopEntries.h"
#include "platform/linux/desktop/KeyFile.h"
#include "platform/linux/desktop/ProgramIcons.h"

namespace {

namespace fs = std::filesystem;
using s::platform::DesktopEntries;
using s::platform::DesktopEnvironment;
using s::platform::KeyFile;
using s::platform::ProgramIcons;

TEST(DesktopFiles, ExecProgramAndKeyFiles) {
  const std::pair<const char16_t*, const char*> cases[] = {
      {u"/usr/bin/editor %F", "/usr/bin/editor"},
      {u"\"/opt/My App/run\" --flag", "/opt/My App/run"},
      {u"env LANG=C GDK_BACKEND=x11 tool %u", "tool"},
      {u"/usr/bin/env -u X A=1 /opt/tool", "/opt/tool"},
      {u"env A=1", ""},
      {u"", ""},
  };
  for (const auto& [exec, program] : cases) {
    SCOPED_TRACE(program);
    EXPECT_EQ(DesktopEntries::execProgram(s::file::DesktopEntry::splitCommand(exec)), program);
  }
  const KeyFile file = KeyFile::parse(
      "# comment\n[Other]\nIcon=wrong\n[Desktop Entry]\nName = A B \nIcon=first\nIcon=second\n"
      "Name[de]=C\n");
  EXPECT_EQ(file.value("Desktop Entry", "Name"), "A B");
  EXPECT_EQ(file.value("Desktop Entry", "Icon"), "first");
  EXPECT_EQ(file.value("Desktop Entry", "Name[de]"), "C");
  EXPECT_FALSE(file.has("Desktop Entry", "Exec"));
}

// A desktop laid out in a temporary folder: entries, an icon theme inheriting hicolor,
// pixmaps, and copies of /bin/sleep under program names, started as real processes.
class ProgramIconsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/netvigil-desktop-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    const std::string bin = root_ + "/bin";
    fs::create_directories(bin);
    for (const char* name : {"nvtest-viewer", "nvtest-pathtool", "NvTest-Windowed", "nvtest-named",
                             "nvtest-plain", "nvtest-scalable", "nvtest-hidden", "nvtest-pix"}) {
      fs::copy_file("/bin/sleep", bin + "/" + name);
      fs::permissions(bin + "/" + name, fs::perms::owner_all);
    }
    const std::string apps = root_ + "/data/applications";
    write(apps + "/nvtest-viewer.desktop", "[Desktop Entry]\nType=Application\nExec=" + bin +
                                               "/nvtest-viewer %f\nIcon=nvtest-viewer\n");
    write(apps + "/tools/nvtest-pathtool.desktop",
          "[Desktop Entry]\nType=Application\nExec=\"nvtest-pathtool\" "
          "--new\nIcon=nvtest-pathtool\n");
    write(apps + "/windowed.desktop",
          "[Desktop Entry]\nType=Application\nExec=/nonexistent/windowed\n"
          "StartupWMClass=nvtest-windowed\nIcon=" +
              root_ + "/art/windowed.png\n");
    write(apps + "/org.example.nvtest-named.desktop",
          "[Desktop Entry]\nType=Application\nExec=/nonexistent/other\nIcon=nvtest-named\n");
    write(apps + "/nvtest-scalable.desktop",
          "[Desktop Entry]\nType=Application\nTryExec=" + bin +
              "/nvtest-scalable\nExec=nvtest-scalable\nIcon=nvtest-scalable\n");
    write(apps + "/nvtest-hidden.desktop", "[Desktop Entry]\nType=Application\nHidden=true\nExec=" +
                                               bin + "/nvtest-hidden\nIcon=nvtest-viewer\n");
    write(apps + "/nvtest-pix.desktop",
          "[Desktop Entry]\nType=Application\nExec=nvtest-pix\nIcon=nvtest-pix.png\n");
    // The user's own entry of the same id wins over the system's.
    write(root_ + "/home-data/applications/nvtest-named.desktop",
          "[Desktop Entry]\nType=Application\nExec=" + bin + "/nvtest-named\nIcon=nvtest-named\n");
    write(root_ + "/data/applications/nvtest-named.desktop",
          "[Desktop Entry]\nType=Application\nExec=" + bin + "/nvtest-named\nIcon=nvtest-viewer\n");

    const std::string hicolor = root_ + "/data/icons/hicolor";
    write(hicolor + "/index.theme",
          "[Icon Theme]\nName=Hicolor\nDirectories=16x16/apps,32x32/apps,48x48/apps,"
          "scalable/apps,16x16/mimetypes\n\n[16x16/apps]\nSize=16\nType=Threshold\n"
          "[32x32/apps]\nSize=32\n[48x48/apps]\nSize=48\n"
          "[scalable/apps]\nSize=48\nType=Scalable\nMinSize=8\nMaxSize=512\n"
          "[16x16/mimetypes]\nSize=16\n");
    write(hicolor + "/32x32/apps/nvtest-viewer.png", "hicolor viewer 32");
    write(hicolor + "/16x16/apps/nvtest-viewer.png", "hicolor viewer 16");
    write(hicolor + "/48x48/apps/nvtest-pathtool.png", "pathtool 48");
    write(hicolor + "/32x32/apps/nvtest-pathtool.png", "pathtool 32");
    write(hicolor + "/16x16/apps/nvtest-named.png", "named 16");
    write(hicolor + "/scalable/apps/nvtest-scalable.svg", "<svg/>");
    write(hicolor + "/16x16/mimetypes/application-x-executable.png", "generic 16");
    // The user's theme, found through the toolkit settings; it has its own viewer icon.
    write(root_ + "/data/icons/NvTheme/index.theme",
          "[Icon Theme]\nInherits=hicolor\nDirectories=apps/16\n[apps/16]\nSize=16\n");
    write(root_ + "/data/icons/NvTheme/apps/16/nvtest-viewer.png", "themed viewer 16");
    write(root_ + "/config/gtk-3.0/settings.ini", "[Settings]\ngtk-icon-theme-name=NvTheme\n");
    write(root_ + "/art/windowed.png", "windowed");
    write(root_ + "/pixmaps/nvtest-pix.png", "pixmap");

    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "PATH",
                             "XDG_CURRENT_DESKTOP"}) {
      const char* value = getenv(name);
      saved_[name] = value != nullptr ? value : "";
    }
    setenv("HOME", (root_ + "/home").c_str(), 1);
    setenv("XDG_DATA_HOME", (root_ + "/home-data").c_str(), 1);
    setenv("XDG_DATA_DIRS", (root_ + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
    setenv("PATH", (bin + ":" + saved_["PATH"]).c_str(), 1);
    setenv("XDG_CURRENT_DESKTOP", "X-Generic", 1);
  }

  void TearDown() override {
    for (pid_t pid : started_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    for (const auto& [name, value] : saved_) {
      setenv(name.c_str(), value.c_str(), 1);
    }
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  static void write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  ProgramIcons icons() {
    DesktopEnvironment environment = DesktopEnvironment::fromProcess();
    environment.pixmaps = root_ + "/pixmaps";
    return ProgramIcons(environment);
  }

  // Starts the program and answers the path the kernel gives for the running process.
  std::string running(const std::string& name) {
    std::string program = root_ + "/bin/" + name;
    char* argv[] = {const_cast<char*>(name.c_str()), const_cast<char*>("30"), nullptr};
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    started_.push_back(pid);
    char exe[PATH_MAX];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    // The link names the new program once exec has happened (bounded wait).
    for (int i = 0; i < 1000; ++i) {
      const ssize_t n = readlink(link.c_str(), exe, sizeof exe - 1);
      if (n > 0 && std::string(exe, static_cast<size_t>(n)) == program) {
        return program;
      }
      usleep(1000);
    }
    return {};
  }

  std::string root_;
  std::map<std::string, std::string> saved_;
  std::vector<pid_t> started_;
};

TEST_F(ProgramIconsTest, RunningProgramsFindTheirIcons) {
  ProgramIcons finder = icons();
  struct Case {
    const char* program;
    const char* icon;  // the content of the file found
  };
  const Case cases[] = {
      {"nvtest-viewer", "themed viewer 16"},  // Exec by absolute path; current theme first
      {"nvtest-pathtool", "pathtool 32"},     // Exec through PATH; nearest size
      {"NvTest-Windowed", "windowed"},        // StartupWMClass, ignoring case; absolute Icon
      {"nvtest-named", "named 16"},           // the user's entry of that id
      {"nvtest-pix", "pixmap"},               // an Icon with extension, from the pixmaps
      {"nvtest-scalable", "generic 16"},      // only an SVG: skipped
      {"nvtest-hidden", "generic 16"},        // a hidden entry does not count
      {"nvtest-plain", "generic 16"},         // no entry at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    const std::string exe = running(c.program);
    ASSERT_FALSE(exe.empty());
    EXPECT_TRUE(ProgramIcons::isElfProgram(exe));
    const std::string file = finder.iconFileFor(exe);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(read(file), c.icon);
  }
  EXPECT_FALSE(ProgramIcons::isElfProgram(root_ + "/art/windowed.png"));
  EXPECT_FALSE(ProgramIcons::isElfProgram(root_));
}

TEST_F(ProgramIconsTest, EntriesAreReadOnceAndAnswersKept) {
  ProgramIcons finder = icons();
  const std::string viewer = running("nvtest-viewer");
  const std::string named = running("nvtest-named");
  ASSERT_EQ(read(finder.iconFileFor(viewer)), "themed viewer 16");
  // Later questions use the index made by the first: the entries are gone from the disk, the
  // answers are not.
  fs::remove_all(root_ + "/data/applications");
  fs::remove_all(root_ + "/home-data/applications");
  EXPECT_EQ(read(finder.iconFileFor(named)), "named 16");
  fs::remove(root_ + "/data/icons/NvTheme/apps/16/nvtest-viewer.png");
  EXPECT_EQ(finder.iconFileFor(viewer), root_ + "/data/icons/NvTheme/apps/16/nvtest-viewer.png");
}

TEST_F(ProgramIconsTest, WithoutAnyThemeThereIsNoIcon) {
  fs::remove_all(root_ + "/data/icons");
  ProgramIcons finder = icons();
  EXPECT_EQ(finder.iconFileFor(running("nvtest-plain")), "");
  EXPECT_EQ(read(finder.iconFileFor(running("nvtest-pix"))), "pixmap");
}

}  // namespace
