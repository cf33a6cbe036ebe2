#include "platform/linux/capture/NetnsPair.h"

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>

namespace s::platform {

int runProgram(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (const std::string& arg : argv) {
    pointers.push_back(const_cast<char*>(arg.c_str()));
  }
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  int error = posix_spawnp(&child, pointers[0], &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    return -1;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

NetnsPair::~NetnsPair() {
  destroy();
}

bool NetnsPair::ipIn(const std::string& name, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"ip", "-n", name};
  argv.insert(argv.end(), args.begin(), args.end());
  return runProgram(argv) == 0;
}

bool NetnsPair::quietIpv6Defaults(const std::string& name) {
  // The multicast reports and their repetitions at once, not at random times within a second.
  std::vector<std::string> argv = {"ip", "netns", "exec", name, "sysctl", "-qw"};
  for (const char* scope : {"all", "default"}) {
    for (const char* setting : {"accept_dad=0", "accept_ra=0", "router_solicitations=0",
                                "mldv2_unsolicited_report_interval=1"}) {
      argv.push_back(std::string("net.ipv6.conf.") + scope + "." + setting);
    }
  }
  return runProgram(argv) == 0;
}

bool NetnsPair::create(Ipv6 ipv6) {
  static std::atomic<int> serial{0};
  std::string base = "nvcap-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
  nameA_ = base + "-a";
  nameB_ = base + "-b";
  if (runProgram({"ip", "netns", "add", nameA_}) != 0) {
    nameA_.clear();
    nameB_.clear();
    return false;
  }
  if (runProgram({"ip", "netns", "add", nameB_}) != 0) {
    nameB_.clear();
    destroy();
    return false;
  }
  const bool quiet = ipv6 == Ipv6::Quiet;
  bool built = (!quiet || (quietIpv6Defaults(nameA_) && quietIpv6Defaults(nameB_))) &&
               ipA({"link", "add", kInterfaceA, "address", kHardwareA, "type", "veth", "peer",
                    "name", kInterfaceB, "address", kHardwareB, "netns", nameB_}) &&
               ipA({"address", "add", std::string(kAddressA) + "/24", "dev", kInterfaceA}) &&
               ipB({"address", "add", std::string(kAddressB) + "/24", "dev", kInterfaceB});
  if (built && quiet) {
    built = ipA({"address", "add", std::string(kAddress6A) + "/64", "dev", kInterfaceA, "nodad"}) &&
            ipB({"address", "add", std::string(kAddress6B) + "/64", "dev", kInterfaceB, "nodad"}) &&
            ipA({"neigh", "add", kAddress6B, "lladdr", kHardwareB, "nud", "permanent", "dev",
                 kInterfaceA}) &&
            ipB({"neigh", "add", kAddress6A, "lladdr", kHardwareA, "nud", "permanent", "dev",
                 kInterfaceB});
  }
  built = built && ipA({"link", "set", "lo", "up"}) && ipB({"link", "set", "lo", "up"}) &&
          ipA({"link", "set", kInterfaceA, "up"}) && ipB({"link", "set", kInterfaceB, "up"});
  if (!built) {
    destroy();
  }
  return built;
}

void NetnsPair::destroy() {
  if (!nameA_.empty()) {
    runProgram({"ip", "netns", "delete", nameA_});
    nameA_.clear();
  }
  if (!nameB_.empty()) {
    runProgram({"ip", "netns", "delete", nameB_});
    nameB_.clear();
  }
}

NetnsEntry::NetnsEntry(const std::string& name) {
  original_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  int target = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
  if (original_ >= 0 && target >= 0) {
    entered_ = setns(target, CLONE_NEWNET) == 0;
  }
  if (target >= 0) {
    close(target);
  }
}

NetnsEntry::~NetnsEntry() {
  if (entered_) {
    setns(original_, CLONE_NEWNET);
  }
  if (original_ >= 0) {
    close(original_);
  }
}

}  // namespace s::platform
