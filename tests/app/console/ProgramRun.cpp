#include "tests/app/console/ProgramRun.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <thread>

extern char** environ;

namespace s::app::console::test {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& text : texts) {
    out.push_back(text.data());
  }
  out.push_back(nullptr);
  return out;
}

std::vector<std::string> environment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    env.emplace_back(*entry);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

int statusOf(int raw) {
  if (WIFEXITED(raw)) {
    return WEXITSTATUS(raw);
  }
  return WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : -1;
}

// Waits for the child up to the bound, then kills it; its status.
int reap(pid_t pid, int boundMs) {
  auto end = Clock::now() + std::chrono::milliseconds(boundMs);
  int raw = 0;
  while (Clock::now() < end) {
    if (waitpid(pid, &raw, WNOHANG) == pid) {
      return statusOf(raw);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &raw, 0);
  return -1;
}

}  // namespace

RunResult runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                     int boundSeconds) {
  RunResult result;
  int out[2];
  int err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  std::vector<std::string> args = argv;
  std::vector<std::string> vars = environment(env);
  std::vector<char*> argPointers = pointers(args);
  std::vector<char*> envPointers = pointers(vars);
  pid_t pid = -1;
  int spawned = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argPointers.data(),
                             envPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  auto end = Clock::now() + std::chrono::seconds(boundSeconds);
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* texts[2] = {&result.out, &result.err};
  int open = spawned == 0 ? 2 : 0;
  while (open > 0 && Clock::now() < end) {
    if (poll(fds, 2, 100) <= 0) {
      continue;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP)) == 0) {
        continue;
      }
      char chunk[4096];
      ssize_t got = read(fds[i].fd, chunk, sizeof(chunk));
      if (got > 0) {
        texts[i]->append(chunk, static_cast<size_t>(got));
      } else {
        fds[i].fd = -1;
        --open;
      }
    }
  }
  close(out[0]);
  close(err[0]);
  if (spawned == 0) {
    result.status = reap(pid, 1000);
  }
  return result;
}

PtyProgram::~PtyProgram() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : {master_, slave_}) {
    if (fd >= 0) {
      close(fd);
    }
  }
}

bool PtyProgram::start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                       unsigned short columns, unsigned short rows) {
  winsize size{};
  size.ws_col = columns;
  size.ws_row = rows;
  if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
    return false;
  }
  fcntl(master_, F_SETFD, FD_CLOEXEC);
  fcntl(slave_, F_SETFD, FD_CLOEXEC);
  std::vector<std::string> args = argv;
  std::vector<std::string> vars = environment(env);
  vars.emplace_back("TERM=xterm");
  std::vector<char*> argPointers = pointers(args);
  std::vector<char*> envPointers = pointers(vars);
  pid_ = fork();
  if (pid_ == 0) {
    // Only calls that are safe between fork and exec from here.
    setsid();
    ioctl(slave_, TIOCSCTTY, 0);
    dup2(slave_, 0);
    dup2(slave_, 1);
    dup2(slave_, 2);
    execvpe(argPointers[0], argPointers.data(), envPointers.data());
    _exit(127);
  }
  return pid_ > 0;
}

void PtyProgram::readAvailable(int timeoutMs) {
  if (master_ < 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    return;
  }
  pollfd fd{master_, POLLIN, 0};
  while (poll(&fd, 1, timeoutMs) > 0 && (fd.revents & POLLIN) != 0) {
    char chunk[8192];
    ssize_t got = read(master_, chunk, sizeof(chunk));
    if (got <= 0) {
      return;
    }
    output_.append(chunk, static_cast<size_t>(got));
    timeoutMs = 0;
  }
}

bool PtyProgram::readUntil(const std::function<bool(const std::string&)>& done, int boundMs) {
  auto end = Clock::now() + std::chrono::milliseconds(boundMs);
  while (!done(output_)) {
    if (Clock::now() >= end) {
      return false;
    }
    readAvailable(50);
  }
  return true;
}

void PtyProgram::send(const std::string& bytes) {
  [[maybe_unused]] ssize_t written = write(master_, bytes.data(), bytes.size());
}

void PtyProgram::signal(int number) {
  kill(pid_, number);
}

void PtyProgram::hangUp() {
  close(master_);
  master_ = -1;
}

int PtyProgram::wait(int boundMs) {
  auto end = Clock::now() + std::chrono::milliseconds(boundMs);
  int raw = 0;
  while (Clock::now() < end) {
    readAvailable(20);
    if (waitpid(pid_, &raw, WNOHANG) == pid_) {
      pid_ = -1;
      readAvailable(50);
      return statusOf(raw);
    }
  }
  return -1;
}

termios PtyProgram::modes() const {
  termios modes{};
  tcgetattr(slave_, &modes);
  return modes;
}

// The text of `raw` without its escape sequences: CSI sequences up to their final byte, OSC
// strings up to BEL, and two-byte escapes.
std::string plain(std::string_view raw) {
  std::string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\x1b') {
      text += raw[i];
    } else if (i + 1 < raw.size() && raw[i + 1] == '[') {
      for (i += 2; i < raw.size() && (raw[i] < 0x40 || raw[i] > 0x7E); ++i) {
      }
    } else if (i + 1 < raw.size() && raw[i + 1] == ']') {
      for (i += 2; i < raw.size() && raw[i] != '\x07'; ++i) {
      }
    } else {
      ++i;
    }
  }
  return text;
}

std::vector<std::vector<std::string>> frames(const std::string& output) {
  std::vector<std::vector<std::string>> screens;
  size_t start = output.find("\x1b[H");
  while (start != std::string::npos) {
    size_t end = output.find("\x1b[H", start + 3);
    std::string text = plain(std::string_view(output).substr(
        start + 3, end == std::string::npos ? std::string::npos : end - start - 3));
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
      lines.push_back(text.substr(from, at - from));
      from = at + 2;
    }
    lines.push_back(text.substr(from));
    screens.push_back(std::move(lines));
    start = end;
  }
  return screens;
}

bool sameModes(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && a.c_cc[VMIN] == b.c_cc[VMIN] && a.c_cc[VTIME] == b.c_cc[VTIME];
}

std::vector<double> byteCounts(const std::string& text) {
  std::vector<double> counts;
  auto digit = [&text](size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  for (size_t i = 0; i < text.size(); ++i) {
    if (!digit(i) || (i > 0 && (digit(i - 1) || text[i - 1] == '.'))) {
      continue;
    }
    size_t end = i;
    while (digit(end) || (end < text.size() && text[end] == '.')) {
      ++end;
    }
    for (const auto& [unit, scale] : {std::pair<std::string, double>{"B", 1.0},
                                      {"KB", 1024.0},
                                      {"MB", 1048576.0},
                                      {"GB", 1073741824.0}}) {
      size_t after = end + 1 + unit.size();
      if (text.compare(end, 1 + unit.size(), " " + unit) == 0 &&
          (after >= text.size() || !std::isalpha(static_cast<unsigned char>(text[after])))) {
        counts.push_back(std::stod(text.substr(i, end - i)) * scale);
      }
    }
    i = end;
  }
  return counts;
}

}  // namespace s::app::console::test
