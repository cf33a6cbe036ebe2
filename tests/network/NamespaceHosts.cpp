#include "tests/network/NamespaceHosts.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace s::system::network::test {

NamespaceHosts::NamespaceHosts(const std::string& hosts, const std::string& resolvConf) {
  if (!netns_.ok() || !netns_.ip({"link", "set", "lo", "up"})) {
    return;
  }
  folder_ = "/etc/netns/" + netns_.name();
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  std::ofstream file(folder_ + "/hosts");
  file << hosts;
  ok_ = !error && file.good();
  if (!resolvConf.empty()) {
    std::ofstream resolver(folder_ + "/resolv.conf");
    resolver << resolvConf;
    hasResolvConf_ = true;
    ok_ = ok_ && resolver.good();
  }
}

NamespaceHosts::~NamespaceHosts() {
  if (!folder_.empty()) {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }
}

int NamespaceHosts::runInside(const std::function<int()>& body) const {
  pid_t child = fork();
  if (child == 0) {
    std::string hosts = folder_ + "/hosts";
    std::string resolvConf = folder_ + "/resolv.conf";
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_SLAVE | MS_REC, nullptr) != 0 ||
        mount(hosts.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) != 0 ||
        (hasResolvConf_ &&
         mount(resolvConf.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0) ||
        !netns_.enter()) {
      _exit(99);
    }
    _exit(body());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    return -1;
  }
  return WEXITSTATUS(status);
}

}  // namespace s::system::network::test
