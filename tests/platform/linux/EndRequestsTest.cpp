#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/linux/EndRequests.h"
#include "tests/support/InChild.h"

namespace s::platform {
namespace {

using s::test::inChild;

TEST(EndRequests, EachEndSignalIsARequestWithTheShellsStatus) {
  const std::pair<int, int> cases[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};
  for (const auto& [signal, status] : cases) {
    std::string failure = inChild([signal, status] {
      blockEndSignals();
      EndRequests ends;
      if (!ends.isOpen()) {
        return std::string("not open");
      }
      if (ends.wait(0)) {
        return std::string("a request before any signal");
      }
      kill(getpid(), signal);
      std::optional<EndRequest> request = ends.wait(5000);
      if (!request || request->kind != EndRequest::Kind::kSignal || request->signal != signal ||
          request->status() != status) {
        return "signal " + std::to_string(signal) + " not taken";
      }
      return std::string(ends.take() ? "a second request" : "");
    });
    EXPECT_EQ(failure, "") << signal;
  }
}

TEST(EndRequests, ALostDisplayFromAnotherThreadWakesTheWaiterFirst) {
  std::string failure = inChild([] {
    blockEndSignals();
    EndRequests ends;
    kill(getpid(), SIGTERM);
    std::thread display([&ends] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      ends.displayLost();
      ends.displayLost();
    });
    display.join();
    // Both wait on the one descriptor: the lost display comes first, then the signal.
    std::optional<EndRequest> first = ends.wait(5000);
    std::optional<EndRequest> second = ends.wait(5000);
    if (!first || first->kind != EndRequest::Kind::kDisplayLost || first->status() != 1) {
      return std::string("the lost display was not first");
    }
    if (!second || second->signal != SIGTERM) {
      return std::string("the signal was lost");
    }
    return std::string(ends.wait(0) ? "a lost display counted twice" : "");
  });
  EXPECT_EQ(failure, "");
  // A waiter without limit wakes for a lost display reported while it waits.
  failure = inChild([] {
    EndRequests ends;
    std::thread display([&ends] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      ends.displayLost();
    });
    std::optional<EndRequest> request = ends.wait(-1);
    display.join();
    return std::string(
        request && request->kind == EndRequest::Kind::kDisplayLost ? "" : "woke without it");
  });
  EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace s::platform
