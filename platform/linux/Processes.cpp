#include "platform/linux/Processes.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <thread>

namespace s::platform {

namespace {

constexpr auto kCloseGrace = std::chrono::milliseconds(5000);
constexpr auto kClosePoll = std::chrono::milliseconds(100);
constexpr char kUnknownName[] = "UnKnown";

bool readLink(const char* path, std::string& target) {
  char buffer[4096];
  ssize_t length = readlink(path, buffer, sizeof(buffer));
  if (length <= 0 || length == static_cast<ssize_t>(sizeof(buffer))) {
    target.clear();
    return false;
  }
  target.assign(buffer, static_cast<size_t>(length));
  return true;
}

// Reads a small /proc file whole; false when it cannot be read.
bool readSmallFile(const char* path, char* buffer, size_t size, size_t& length) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  ssize_t got = read(fd, buffer, size);
  close(fd);
  if (got < 0) {
    return false;
  }
  length = static_cast<size_t>(got);
  return true;
}

}  // namespace

bool TerminateSignalCloser::askToClose(int32_t pid) {
  return pid > 0 && kill(pid, SIGTERM) == 0;
}

TerminateSignalCloser& TerminateSignalCloser::instance() {
  static TerminateSignalCloser closer;
  return closer;
}

void processPath(int32_t pid, std::string& path) {
  char link[32];
  std::snprintf(link, sizeof(link), "/proc/%d/exe", static_cast<int>(pid));
  if (pid <= 0 || !readLink(link, path)) {
    path.clear();
    return;
  }
  // The kernel marks a file that was removed or replaced (an upgrade) after the program
  // started; the path names the file now there. A file whose own name ends so still has links.
  static constexpr std::string_view kDeleted = " (deleted)";
  struct stat file {};
  if (path.ends_with(kDeleted) && stat(link, &file) == 0 && file.st_nlink == 0) {
    path.erase(path.size() - kDeleted.size());
  }
}

void processName(int32_t pid, std::string& name) {
  if (pid > 0) {
    processPath(pid, name);
    if (!name.empty()) {
      size_t slash = name.rfind('/');
      if (slash != std::string::npos) {
        name.erase(0, slash + 1);
      }
      return;
    }
    char path[32];
    std::snprintf(path, sizeof(path), "/proc/%d/comm", static_cast<int>(pid));
    char comm[64];
    size_t length = 0;
    if (readSmallFile(path, comm, sizeof(comm), length)) {
      while (length > 0 && comm[length - 1] == '\n') {
        --length;
      }
      if (length > 0) {
        name.assign(comm, length);
        return;
      }
    }
  }
  name.assign(kUnknownName);
}

bool isProcessAlive(int32_t pid) {
  if (pid <= 0) {
    return false;
  }
  char path[32];
  std::snprintf(path, sizeof(path), "/proc/%d/stat", static_cast<int>(pid));
  char stat[512];
  size_t length = 0;
  if (!readSmallFile(path, stat, sizeof(stat) - 1, length)) {
    return false;
  }
  stat[length] = '\0';
  // The state follows the command name, which may itself hold ") ".
  const char* close = std::strrchr(stat, ')');
  if (close == nullptr || close[1] != ' ') {
    return true;
  }
  char state = close[2];
  return state != 'Z' && state != 'X' && state != 'x';
}

void closeProcess(int32_t pid, IPoliteCloser& closer) {
  if (pid <= 0) {
    return;
  }
  if (closer.askToClose(pid)) {
    for (auto waited = std::chrono::milliseconds(0); waited < kCloseGrace && isProcessAlive(pid);
         waited += kClosePoll) {
      std::this_thread::sleep_for(kClosePoll);
    }
  }
  if (isProcessAlive(pid)) {
    killProcess(pid);
  }
}

void killProcess(int32_t pid) {
  if (pid > 0) {
    kill(pid, SIGKILL);
  }
}

void ownExecutablePath(std::string& path) {
  if (!readLink("/proc/self/exe", path)) {
    path.clear();
  }
}

bool findProcessByPath(const std::string& path, int32_t exceptPid, int32_t& pid) {
  if (path.empty()) {
    return false;
  }
  DIR* proc = opendir("/proc");
  if (proc == nullptr) {
    return false;
  }
  bool found = false;
  std::string candidate;
  while (dirent* entry = readdir(proc)) {
    char* end = nullptr;
    long number = std::strtol(entry->d_name, &end, 10);
    if (number <= 0 || *end != '\0' || number == exceptPid) {
      continue;
    }
    processPath(static_cast<int32_t>(number), candidate);
    if (candidate == path) {
      pid = static_cast<int32_t>(number);
      found = true;
      break;
    }
  }
  closedir(proc);
  return found;
}

}  // namespace s::platform
