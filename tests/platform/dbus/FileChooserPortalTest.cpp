#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dbus/FileChooserPortal.h"
#include "platform/dbus/FileUri.h"
#include "platform/dbus/SessionBus.h"
#include "tests/platform/dbus/PortalService.h"
#include "tests/support/SessionBusDaemon.h"

namespace s::platform {
namespace {

ui::FileChooserRequest logRequest() {
  ui::FileChooserRequest request;
  request.mode = ui::FileChooserRequest::Mode::kSave;
  request.parentWindow = "x11:2a00007";
  request.title = "Save Log";
  request.fileName = "LOG-131209-14.htm";
  request.initialFolder = "/home/u/log";
  request.filters = {{"Log File (HTML) (*.htm)", {"*.htm"}}};
  return request;
}

TEST(FileChooserPortal, AsksWithTheNameFolderAndFilterAndGivesThePathChosen) {
  s::test::SessionBusDaemon daemon;
  ASSERT_TRUE(daemon.ok());
  test::PortalService portal(0, "file:///home/u/log/My%20Log.htm");
  ASSERT_TRUE(portal.ok());
  SessionBus bus;
  EXPECT_EQ(fileChooserPortalVersion(bus), 3U);

  ui::FileChoice answer = saveFileThroughPortal(logRequest());
  EXPECT_EQ(answer.outcome, ui::FileChoice::Outcome::kChosen);
  EXPECT_EQ(answer.path, "/home/u/log/My Log.htm");
  EXPECT_EQ(portal.asked(),
            (std::vector<std::string>{
                "parent=x11:2a00007", "title=Save Log", "current_name=LOG-131209-14.htm",
                "current_folder=/home/u/log|", "filter=Log File (HTML) (*.htm) 0:*.htm",
                "current_filter=Log File (HTML) (*.htm) 0:*.htm"}));
}

TEST(FileChooserPortal, CancelsAndFailures) {
  s::test::SessionBusDaemon daemon;
  ASSERT_TRUE(daemon.ok());
  // No portal on this bus: another dialog has to ask.
  SessionBus bus;
  EXPECT_EQ(fileChooserPortalVersion(bus), 0U);
  EXPECT_EQ(saveFileThroughPortal(logRequest()).outcome, ui::FileChoice::Outcome::kUnavailable);
  {
    test::PortalService cancelled(1, "");
    ASSERT_TRUE(cancelled.ok());
    ui::FileChoice answer = saveFileThroughPortal(logRequest());
    EXPECT_EQ(answer.outcome, ui::FileChoice::Outcome::kCancelled);
    EXPECT_EQ(answer.path, "");
  }
  {
    // A place that is no local file is no answer either.
    test::PortalService remote(0, "sftp://host/x.htm");
    ASSERT_TRUE(remote.ok());
    EXPECT_EQ(saveFileThroughPortal(logRequest()).outcome, ui::FileChoice::Outcome::kCancelled);
  }
  {
    // A dialog still open when the program gives up on it.
    test::PortalService silent(0, "", false);
    ASSERT_TRUE(silent.ok());
    std::atomic<bool> abandon{false};
    auto waiting = std::async(std::launch::async,
                              [&] { return saveFileThroughPortal(logRequest(), &abandon); });
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    abandon = true;
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(waiting.get().outcome, ui::FileChoice::Outcome::kCancelled);
  }
}

TEST(FileUri, PathsOfFileUris) {
  const std::pair<const char*, const char*> cases[] = {
      {"file:///a%20b/c%C3%A9.htm", "/a b/c\xC3\xA9.htm"},
      {"file://localhost/x", "/x"},
      {"file://otherhost/x", ""},
      {"http://x/y", ""},
      {"file:///bad%2", ""},
      {"file:///bad%zz", ""},
      {"file:///nul%00", ""},
  };
  for (const auto& [uri, path] : cases) {
    EXPECT_EQ(pathOfFileUri(uri), path) << uri;
  }
  EXPECT_EQ(pathOfFileUri(fileUri("/%/#/?/ \xC3\xA9")), "/%/#/?/ \xC3\xA9");
}

}  // namespace
}  // namespace s::platform
