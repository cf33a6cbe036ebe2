#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace s::test {

// Runs `body` (answering a failure text, empty when all held) in a child process of its own,
// for tests whose signal mask must be the body's alone: the test program's other threads would
// take a signal that only the body's thread blocks. Answers what the body answered.
template <class Body>
std::string inChild(Body body) {
  int report[2];
  if (pipe(report) != 0) {
    return "no pipe";
  }
  pid_t child = fork();
  if (child == 0) {
    close(report[0]);
    std::string failure = body();
    [[maybe_unused]] ssize_t written = write(report[1], failure.data(), failure.size());
    _exit(0);
  }
  close(report[1]);
  std::string failure;
  char chunk[256];
  for (ssize_t n = 0; (n = read(report[0], chunk, sizeof chunk)) > 0;) {
    failure.append(chunk, static_cast<size_t>(n));
  }
  close(report[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status)) {
    failure += " (the child was ended by a signal)";
  }
  return failure;
}

}  // namespace s::test
