#include "app/base/ProgramEnd.h"

#include <optional>

namespace s::app::win {

namespace {
constexpr int kLookMs = 10;
}  // namespace

int waitUntilClosed(platform::EndRequests& ends, const std::function<bool()>& closed,
                    const std::function<void(const platform::EndRequest&)>& exit) {
  std::optional<int> status;
  while (!closed()) {
    std::optional<platform::EndRequest> request = ends.wait(kLookMs);
    // Later requests only repeat what is under way.
    if (request && !status) {
      status = request->status();
      exit(*request);
    }
  }
  return status.value_or(0);
}

}  // namespace s::app::win
