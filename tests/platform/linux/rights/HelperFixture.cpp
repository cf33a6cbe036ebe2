#include "tests/platform/linux/rights/HelperFixture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/linux/Processes.h"
#include "tests/platform/linux/Sockets.h"

namespace s::platform::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kChildBound = std::chrono::seconds(60);

}  // namespace

GrantedHelper::GrantedHelper(HelperGrant grant) {
  if (geteuid() != 0 || folder_.root().empty()) {
    return;
  }
  path_ = folder_.path("netvigil-rights").string();
  std::error_code error;
  std::filesystem::copy_file(NETVIGIL_RIGHTS_BINARY, path_, error);
  ok_ = !error && chmod(folder_.root().c_str(), 0755) == 0 &&
        chown(path_.c_str(), 0, grant.group) == 0 && chmod(path_.c_str(), grant.mode) == 0 &&
        (!grant.capabilities ||
         run({"setcap", "cap_net_raw,cap_net_admin,cap_sys_ptrace,cap_dac_read_search=p", path_}) ==
             0);
}

std::string asNobody(const std::function<std::string()>& body,
                     const std::function<bool()>& asRoot) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    return "no pipe";
  }
  pid_t child = fork();
  if (child == 0) {
    close(report[0]);
    std::string outcome = !asRoot()         ? "the step as root failed"
                          : !becomeNobody() ? "cannot become nobody"
                                            : body();
    ssize_t written = write(report[1], outcome.data(), outcome.size());
    _exit(written == static_cast<ssize_t>(outcome.size()) ? 0 : 1);
  }
  close(report[1]);
  if (child < 0) {
    close(report[0]);
    return "no child";
  }
  std::string outcome;
  auto end = Clock::now() + kChildBound;
  pollfd readable{report[0], POLLIN, 0};
  bool closed = false;
  while (!closed && Clock::now() < end) {
    if (poll(&readable, 1, 100) <= 0) {
      continue;
    }
    char chunk[512];
    ssize_t got = read(report[0], chunk, sizeof chunk);
    if (got > 0) {
      outcome.append(chunk, static_cast<size_t>(got));
    } else {
      closed = true;
    }
  }
  close(report[0]);
  if (!closed) {
    kill(child, SIGKILL);
    outcome = "the child did not end within the bound";
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (closed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
    outcome += " (the child did not end normally)";
  }
  return outcome;
}

std::string statusField(pid_t pid, const std::string& name) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(name + ":", 0) == 0) {
      size_t value = line.find_first_not_of(" \t", name.size() + 1);
      return value == std::string::npos ? "" : line.substr(value);
    }
  }
  return "";
}

bool endsSoon(pid_t pid) {
  for (int i = 0; i < 500 && isProcessAlive(pid); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return !isProcessAlive(pid);
}

}  // namespace s::platform::test
