#pragma once

#include <chrono>
#include <thread>

namespace s::test {

// Polls `condition` every 10 ms until it holds or `limit` has passed; gives its last answer.
template <class Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) {
      return condition();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace s::test
