#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/base/ProgramEnd.h"
#include "tests/support/InChild.h"

namespace s::app::win {
namespace {

using platform::EndRequest;
using s::test::inChild;

// A window that closes `delayMs` after it was asked to (or by itself after `ownMs`, when set),
// on a thread of its own, as the window's thread does.
struct FakeWindow {
  std::atomic<bool> closed{false};
  std::vector<EndRequest> asked;
  std::thread closer;

  void closeAfter(int ms) {
    closer = std::thread([this, ms] {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      closed = true;
    });
  }
  ~FakeWindow() {
    if (closer.joinable()) {
      closer.join();
    }
  }
};

TEST(ProgramEnd, AnEndRequestClosesTheWindowOnceAndGivesItsStatus) {
  std::string failure = inChild([] {
    platform::blockEndSignals();
    platform::EndRequests ends;
    FakeWindow window;
    kill(getpid(), SIGTERM);
    kill(getpid(), SIGHUP);
    int status = waitUntilClosed(
        ends, [&] { return window.closed.load(); },
        [&](const EndRequest& request) {
          window.asked.push_back(request);
          window.closeAfter(30);
        });
    if (status != 128 + SIGTERM && status != 128 + SIGHUP) {
      return "status " + std::to_string(status);
    }
    return std::string(window.asked.size() == 1 ? "" : "asked to exit more than once");
  });
  EXPECT_EQ(failure, "");
}

TEST(ProgramEnd, ALostDisplayEndsWithOneAndAWindowClosedByTheUserWithNought) {
  std::string failure = inChild([] {
    platform::EndRequests ends;
    FakeWindow window;
    std::thread display([&ends] { ends.displayLost(); });
    display.join();
    int status = waitUntilClosed(
        ends, [&] { return window.closed.load(); },
        [&](const EndRequest& request) {
          window.asked.push_back(request);
          window.closeAfter(10);
        });
    if (status != 1 || window.asked.size() != 1 ||
        window.asked[0].kind != EndRequest::Kind::kDisplayLost) {
      return "a lost display gave " + std::to_string(status);
    }
    FakeWindow byUser;
    byUser.closeAfter(40);
    status = waitUntilClosed(
        ends, [&] { return byUser.closed.load(); },
        [&](const EndRequest& request) { byUser.asked.push_back(request); });
    return std::string(status == 0 && byUser.asked.empty() ? "" : "closed by the user, not 0");
  });
  EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace s::app::win
