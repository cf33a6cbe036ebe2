#pragma once

#include <chrono>
#include <functional>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start);
// 0 for no values.
double median(std::vector<double> values);
double timeMs(const std::function<void()>& body);
double medianMs(int runs, const std::function<void()>& body);
// Runs `program options` with its output thrown away and waits for it: the peer a figure is
// compared with.
void runQuietly(const char* program, const char* options);
// The connection counts named on the command line, or 1,000, 10,000 and 50,000.
std::vector<int> connectionCounts(int argc, char** argv);

}  // namespace bench
