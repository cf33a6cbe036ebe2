#include "bench/support/Measure.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace bench {

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double timeMs(const std::function<void()>& body) {
  auto start = Clock::now();
  body();
  return msSince(start);
}

double medianMs(int runs, const std::function<void()>& body) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    times.push_back(timeMs(body));
  }
  return median(times);
}

void runQuietly(const char* program, const char* options) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>(program), const_cast<char*>(options), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program, &actions, nullptr, argv, environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

std::vector<int> connectionCounts(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) {
    counts.push_back(std::atoi(argv[i]));
  }
  if (counts.empty()) {
    counts = {1000, 10000, 50000};
  }
  return counts;
}

}  // namespace bench
