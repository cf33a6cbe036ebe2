#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/file/DesktopEntry.h"
#include "framework/file/FileOutputStream.h"
#include "framework/file/NativePath.h"
#include "framework/file/PathWin.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using s::PoolPtr;
using s::file::PathWin;

// Paths of a fresh folder, as the program's texts and as system paths.
class TempFolder {
 public:
  std::string path(const std::string& name) const { return folder_.path(name).string(); }
  std::u16string text(const std::string& name) const { return s::file::fromNative(path(name)); }

 private:
  s::test::TempFolder folder_;
};

std::u16string parts(const PathWin& path) {
  PoolPtr<s::str::StrBuffer> out(s::str::StrBuffer::take());
  path.folderText(*out);
  out->appendChar(u'|');
  path.title(*out, true);
  out->appendChar(u'|');
  path.extension(*out, true);
  return std::u16string(out->view());
}

TEST(PathWinTest, ParsesIntoFolderTitleAndExtension) {
  struct Case {
    std::u16string_view text;
    std::u16string_view full;
    std::u16string_view parts;
  };
  const Case cases[] = {
      {u"/home/u/savedata/SaveData.xml", u"/home/u/savedata/SaveData.xml",
       u"/home/u/savedata/|SaveData|.xml"},
      {u"/tmp/logs/", u"/tmp/logs", u"/tmp/|logs|"},
      {u"/tmp//x.tar.gz///", u"/tmp//x.tar.gz", u"/tmp//|x.tar|.gz"},
      {u"/home/u/.bashrc", u"/home/u/.bashrc", u"/home/u/|.bashrc|"},
      {u"name.htm", u"name.htm", u"|name|.htm"},
      {u"/", u"/", u"/||"},
  };
  for (const Case& c : cases) {
    PoolPtr<PathWin> path(PathWin::of(c.text));
    EXPECT_TRUE(path->isWellFormed());
    EXPECT_EQ(path->full(), c.full);
    EXPECT_EQ(parts(*path), c.parts);
  }
  PoolPtr<PathWin> empty(PathWin::of(u""));
  EXPECT_FALSE(empty->isWellFormed());
  EXPECT_FALSE(empty->exists());
  EXPECT_FALSE(empty->createFolder());

  PoolPtr<PathWin> file(PathWin::of(u"/a/b/c.txt"));
  PoolPtr<s::str::StrBuffer> folder(file->folderPath());
  EXPECT_EQ(folder->view(), u"/a/b");
  PoolPtr<PathWin> parent(file->parent());
  EXPECT_EQ(parent->full(), u"/a/b");
}

TEST(PathWinTest, FoldersFilesAndQueries) {
  TempFolder temp;
  PoolPtr<PathWin> deep(PathWin::of(temp.text("one/two/three")));
  EXPECT_FALSE(deep->exists());
  EXPECT_TRUE(deep->createFolder());
  EXPECT_TRUE(deep->isDirectory());
  EXPECT_TRUE(deep->createFolder());  // already there
  PoolPtr<PathWin> root(PathWin::of(u"/"));
  EXPECT_FALSE(root->createFolder());

  PoolPtr<PathWin> file(PathWin::of(temp.text("new/dir/file.txt")));
  EXPECT_TRUE(file->createFile());
  EXPECT_FALSE(file->createFile());  // exclusive
  EXPECT_TRUE(file->isFile());
  EXPECT_FALSE(file->isDirectory());
  EXPECT_TRUE(file->isReadWrite());
  EXPECT_FALSE(file->isExe());
  EXPECT_TRUE(file->setMode(0755));
  EXPECT_TRUE(file->isExe());

  PoolPtr<PathWin> copy(PathWin::of(temp.text("copy.txt")));
  EXPECT_TRUE(file->copyTo(*copy, false));
  EXPECT_FALSE(file->copyTo(*copy, false));
  PoolPtr<PathWin> moved(PathWin::of(temp.text("moved/m.txt")));
  EXPECT_TRUE(copy->moveTo(*moved, false));
  EXPECT_FALSE(copy->exists());
  EXPECT_TRUE(moved->remove());
  EXPECT_FALSE(moved->exists());

  // Paths far longer than the old 260-character limit just work.
  std::string longName(200, 'n');
  PoolPtr<PathWin> longPath(PathWin::of(temp.text(longName + "/" + longName + ".txt")));
  EXPECT_TRUE(longPath->createFile());
  EXPECT_TRUE(longPath->exists());
}

TEST(FileOutputStreamTest, TruncatesOrAppendsAndWritesFullBlocksAtOnce) {
  TempFolder temp;
  PoolPtr<PathWin> path(PathWin::of(temp.text("out/data.bin")));
  {
    PoolPtr<s::file::FileOutputStream> stream(path->openOutputStream(false));
    ASSERT_NE(stream, nullptr);
    std::string bytes(70000, 'x');
    size_t written = 0;
    EXPECT_TRUE(stream->write(bytes.data(), bytes.size(), written));
    EXPECT_EQ(written, 70000u);
    EXPECT_EQ(stream->position(), 70000);
    EXPECT_EQ(fs::file_size(temp.path("out/data.bin")), 65536u);
    EXPECT_TRUE(stream->close());
    EXPECT_EQ(fs::file_size(temp.path("out/data.bin")), 70000u);
  }
  {
    PoolPtr<s::file::FileOutputStream> stream(path->openOutputStream(true));
    EXPECT_EQ(stream->position(), 70000);
    EXPECT_TRUE(stream->writeAll("tail", 4));
  }  // released: closed and flushed
  EXPECT_EQ(fs::file_size(temp.path("out/data.bin")), 70004u);
  {
    PoolPtr<s::file::FileOutputStream> stream(path->openOutputStream(false));
    EXPECT_TRUE(stream->write("abc"));
    EXPECT_TRUE(stream->seek(1));
    EXPECT_TRUE(stream->write("Z"));
    EXPECT_TRUE(stream->truncateHere());
  }
  std::string bytes;
  ASSERT_TRUE(path->readAll(bytes));
  EXPECT_EQ(bytes, "aZ");

  PoolPtr<s::file::FileInputStream> input(path->openInputStream());
  char buffer[8];
  EXPECT_EQ(input->read(buffer, sizeof buffer), 2);
  EXPECT_EQ(input->read(buffer, sizeof buffer), 0);
  PoolPtr<PathWin> missing(PathWin::of(temp.text("missing")));
  EXPECT_EQ(missing->openInputStream(), nullptr);
}

TEST(PathWinTest, AtomicWriteLeavesTheOldFileWholeWhenTheNewOneCannotBeWritten) {
  TempFolder temp;
  PoolPtr<PathWin> path(PathWin::of(temp.text("settings.xml")));
  ASSERT_TRUE(path->writeAtomically("old content"));

  // A child process limited to 1 KiB files fails half-way, as on a full disk.
  pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    PoolPtr<PathWin> same(PathWin::of(temp.text("settings.xml")));
    _exit(same->writeAtomically(std::string(4096, 'n')) ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write was reported as success";

  std::string bytes;
  ASSERT_TRUE(path->readAll(bytes));
  EXPECT_EQ(bytes, "old content");
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(temp.path(""))) {
    ++files;
  }
  EXPECT_EQ(files, 1u) << "a temporary file was left behind";
}

TEST(ShortcutTest, DesktopEntryStartsTheProgramWithItsArguments) {
  TempFolder temp;
  PoolPtr<PathWin> program(PathWin::of(temp.text("my prog$/net vigil")));
  ASSERT_TRUE(program->createFile());
  ASSERT_TRUE(program->setMode(0755));

  PoolPtr<PathWin> missing(PathWin::of(temp.text("absent")));
  EXPECT_FALSE(missing->createShortcut(temp.text("link"), true, u""));
  EXPECT_FALSE(fs::exists(temp.path("link.desktop")));

  ASSERT_TRUE(program->createShortcut(temp.text("autostart/Netvigil"), false, u"-startup 100%"));
  EXPECT_FALSE(program->createShortcut(temp.text("autostart/Netvigil"), false, u""));
  PoolPtr<PathWin> link(PathWin::of(temp.text("autostart/Netvigil.desktop")));
  EXPECT_TRUE(link->isShortcut());
  EXPECT_FALSE(link->isUrlShortcut());
  EXPECT_EQ(link->shortcutTarget(), program->full());

  std::string text;
  ASSERT_TRUE(link->readAll(text));
  auto entry = s::file::DesktopEntry::parse(text);
  ASSERT_EQ(entry.exec.size(), 3u);
  EXPECT_EQ(entry.exec[1], u"-startup");
  EXPECT_EQ(entry.exec[2], u"100%");
  EXPECT_NE(text.find("Type=Application\n"), std::string::npos);
  // Reserved characters are quoted, and the quoting's backslashes escaped once more.
  EXPECT_NE(text.find("Exec=\"" + temp.path("my prog\\\\$/net vigil") + "\" -startup 100%%\n"),
            std::string::npos)
      << text;

  // The format's own checker accepts it.
  std::string validate = "desktop-file-validate '" + temp.path("autostart/Netvigil.desktop") + "'";
  EXPECT_EQ(std::system(validate.c_str()), 0);

  // A second shortcut made from a desktop entry is a copy of it.
  EXPECT_TRUE(link->createShortcut(temp.text("copy.desktop"), false, u""));
  PoolPtr<PathWin> copy(PathWin::of(temp.text("copy.desktop")));
  EXPECT_EQ(copy->shortcutTarget(), program->full());

  PoolPtr<PathWin> web(PathWin::of(temp.text("site.desktop")));
  EXPECT_TRUE(web->createUrlShortcut(u"https://netvigil.example/", false));
  EXPECT_FALSE(web->createUrlShortcut(u"https://netvigil.example/", false));
  EXPECT_TRUE(web->isUrlShortcut());
  EXPECT_EQ(web->urlOf(), u"https://netvigil.example/");
}

TEST(ShortcutTest, ExecArgumentsSurviveQuotingAndSplitting) {
  const std::u16string arguments[] = {u"plain",       u"with space", u"quote\"d",
                                      u"back\\slash", u"$HOME",      u"`tick`",
                                      u"semi;colon",  u"50%",        u""};
  for (const auto& argument : arguments) {
    auto split = s::file::DesktopEntry::splitCommand(
        u"prog " + s::file::DesktopEntry::quoteArgument(argument));
    ASSERT_EQ(split.size(), 2u) << std::string(argument.begin(), argument.end());
    EXPECT_EQ(split[1], argument);
  }
  // Field codes stand for files a launcher passes; they are not part of the command.
  auto split = s::file::DesktopEntry::splitCommand(u"prog %U --flag");
  ASSERT_EQ(split.size(), 2u);
  EXPECT_EQ(split[1], u"--flag");
}

}  // namespace
