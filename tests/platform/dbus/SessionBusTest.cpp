#include <gtest/gtest.h>

#include "platform/dbus/FileManager.h"
#include "platform/dbus/SessionBus.h"
#include "tests/platform/dbus/FileManagerService.h"
#include "tests/support/SessionBusDaemon.h"

namespace s::platform {
namespace {

TEST(SessionBus, TellsTheDaemonAndWhoOwnsANameOnARealBus) {
  s::test::SessionBusDaemon daemon;
  ASSERT_TRUE(daemon.ok());
  SessionBus bus;
  ASSERT_TRUE(bus.connected());
  EXPECT_EQ(bus.daemonPid(), daemon.pid());
  EXPECT_FALSE(bus.hasOwner("org.freedesktop.FileManager1"));
  // Nobody answers and nothing is started: the request fails without waiting out its bound.
  EXPECT_FALSE(askFileManager(bus, FileManagerRequest::kShowItems, "/usr/bin/env"));

  test::FileManagerService fileManager;
  ASSERT_TRUE(fileManager.ok());
  EXPECT_TRUE(bus.hasOwner("org.freedesktop.FileManager1"));
  EXPECT_TRUE(askFileManager(bus, FileManagerRequest::kShowItems, "/usr/bin/env"));
  EXPECT_TRUE(askFileManager(bus, FileManagerRequest::kShowItemProperties, "/a b/ü#?%"));
  // A relative path never goes out.
  EXPECT_FALSE(askFileManager(bus, FileManagerRequest::kShowItems, "bin/env"));
  EXPECT_EQ(fileManager.calls(),
            (std::vector<std::string>{"ShowItems file:///usr/bin/env",
                                      "ShowItemProperties file:///a%20b/%C3%BC%23%3F%25"}));
}

TEST(SessionBus, WithoutABusNothingAnswers) {
  s::test::SessionBusDaemon daemon;
  setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/netvigil-bus", 1);
  SessionBus bus;
  EXPECT_FALSE(bus.connected());
  EXPECT_FALSE(bus.hasOwner("org.freedesktop.DBus"));
  EXPECT_EQ(bus.daemonPid(), -1);
  EXPECT_FALSE(askFileManager(bus, FileManagerRequest::kShowItems, "/usr/bin/env"));
}

TEST(FileUri, KeepsUnreservedBytesAndEncodesTheRest) {
  const std::pair<const char*, const char*> cases[] = {
      {"/usr/bin/x-y_z.~1", "file:///usr/bin/x-y_z.~1"},
      {"/a b/c", "file:///a%20b/c"},
      {"/%/#/?/\"", "file:///%25/%23/%3F/%22"},
      {"/\xC3\xA9", "file:///%C3%A9"},
  };
  for (const auto& [path, uri] : cases) {
    EXPECT_EQ(fileUri(path), uri) << path;
  }
}

}  // namespace
}  // namespace s::platform
