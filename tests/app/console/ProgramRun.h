#pragma once

#include <sys/types.h>
#include <termios.h>

#include <functional>
#include <string>
#include <vector>

namespace s::app::console::test {

// A finished run of a program: its exit status (128 + n when signal n ended it, -1 when it
// could not run or was stopped at the bound) and what it wrote.
struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs argv (looked up on PATH, no shell) with `env` added to the environment, standard input
// from /dev/null; a run past `boundSeconds` is killed.
RunResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                     int boundSeconds = 30);

// A program on a pseudo-terminal of the test's own, as a user's terminal runs it. The test
// keeps the terminal's far side open too, so its modes can be read after the program ends.
class PtyProgram {
 public:
  PtyProgram() = default;
  ~PtyProgram();
  PtyProgram(const PtyProgram&) = delete;
  PtyProgram& operator=(const PtyProgram&) = delete;

  bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             unsigned short columns, unsigned short rows);
  // Reads what the program draws until `done` holds for all of it, or the bound; answers
  // whether it held.
  bool readUntil(const std::function<bool(const std::string&)>& done, int boundMs = 20000);
  void send(const std::string& bytes);
  void signal(int number);
  // Closes the test's side of the terminal, as closing a terminal window does.
  void hangUp();
  // The exit status as runProgram gives it, after reading the last output.
  int wait(int boundMs = 20000);
  const std::string& output() const { return output_; }
  // The terminal's present modes.
  termios modes() const;
  pid_t pid() const { return pid_; }

 private:
  void readAvailable(int timeoutMs);

  int master_ = -1;
  int slave_ = -1;
  pid_t pid_ = -1;
  std::string output_;
};

// The screens drawn, each as plain lines (escape sequences taken out).
std::vector<std::vector<std::string>> frames(const std::string& output);
bool sameModes(const termios& a, const termios& b);

// Byte quantities in a text as the lists show them ("1023 B", "1.50 KB"), in bytes, in order.
std::vector<double> byteCounts(const std::string& text);

}  // namespace s::app::console::test
