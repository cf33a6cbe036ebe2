#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/UriList.h"

namespace {

using s::platform::ui::UriList;
using Items = std::vector<std::string>;

TEST(UriList, FilesOfThisMachineAreDecodedPathsAndEverythingElseIsALink) {
  const struct {
    const char* text;
    Items files;
    Items links;
  } cases[] = {
      {"file:///tmp/a%20b.txt\r\nfile://localhost/etc/hosts\r\nfile://box/home/x\r\n",
       {"/tmp/a b.txt", "/etc/hosts", "/home/x"},
       {}},
      // Comments, blank lines, a last line without its end, bare LF endings.
      {"# dragged from a browser\r\n\r\nhttps://netvigil.example/a?b=%20\nftp://h/f",
       {},
       {"https://netvigil.example/a?b=%20", "ftp://h/f"}},
      // Another machine's file cannot be opened here: it stays an address.
      {"file://elsewhere/srv/share\r\nFILE:/var/log/syslog\r\n",
       {"/var/log/syslog"},
       {"file://elsewhere/srv/share"}},
      // What names no file is left out: a NUL, a bad or cut escape, a relative path.
      {"file:///a%00b\r\nfile:///bad%zz\r\nfile:///cut%4\r\nfile:relative\r\nfile://\r\n"
       "file:///%C3%A9t%C3%A9\r\n",
       {"/été"},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const UriList list = UriList::parse(c.text, "box");
    EXPECT_EQ(list.files(), c.files);
    EXPECT_EQ(list.links(), c.links);
  }
  const std::string overlong = "file:///" + std::string(5000, 'a');
  EXPECT_TRUE(UriList::parse(overlong, "box").files().empty());
}

}  // namespace
