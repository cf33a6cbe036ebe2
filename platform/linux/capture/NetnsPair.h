#pragma once

#include <string>
#include <vector>

namespace s::platform {

// Runs a program found on PATH with the argument vector `argv` (no shell) and gives its exit
// status, or -1 when it could not be started or did not exit normally.
int runProgram(const std::vector<std::string>& argv);

// Two network namespaces of their own, joined by a veth pair with one address on each end, for
// the capture tests and benchmarks. Names are unique per process and pair; the destructor
// deletes both namespaces, and with them the pair.
class NetnsPair {
 public:
  NetnsPair() = default;
  ~NetnsPair();
  NetnsPair(const NetnsPair&) = delete;
  NetnsPair& operator=(const NetnsPair&) = delete;

  // Builds the namespaces, the veth pair and its addresses, all links up. Gives false when a
  // step failed (then nothing is left behind).
  enum class Ipv6 : uint8_t {
    KernelDefaults,  // only what the kernel configures by itself (link-local addresses)
    // kAddress6A and kAddress6B as well, with permanent neighbour entries and neither duplicate
    // address detection nor router solicitations, so that after the links' first multicast
    // reports nothing but the test's own traffic crosses the pair.
    Quiet,
  };
  bool create(Ipv6 ipv6 = Ipv6::KernelDefaults);

  // Runs `ip -n <namespace> args...`; gives whether it exited with 0.
  bool ipA(const std::vector<std::string>& args) const { return ipIn(nameA_, args); }
  bool ipB(const std::vector<std::string>& args) const { return ipIn(nameB_, args); }

  const std::string& nameA() const { return nameA_; }
  const std::string& nameB() const { return nameB_; }
  static constexpr const char* kInterfaceA = "nv-a";
  static constexpr const char* kInterfaceB = "nv-b";
  static constexpr const char* kAddressA = "10.213.0.1";
  static constexpr const char* kAddressB = "10.213.0.2";
  static constexpr const char* kAddress6A = "fd00:213::1";
  static constexpr const char* kAddress6B = "fd00:213::2";
  static constexpr const char* kHardwareA = "02:00:00:21:30:01";
  static constexpr const char* kHardwareB = "02:00:00:21:30:02";

 private:
  static bool ipIn(const std::string& name, const std::vector<std::string>& args);
  static bool quietIpv6Defaults(const std::string& name);
  void destroy();

  std::string nameA_;
  std::string nameB_;
};

// Moves the calling thread into the named network namespace for its lifetime; threads it starts
// meanwhile stay there.
class NetnsEntry {
 public:
  explicit NetnsEntry(const std::string& name);
  ~NetnsEntry();
  NetnsEntry(const NetnsEntry&) = delete;
  NetnsEntry& operator=(const NetnsEntry&) = delete;

  bool entered() const { return entered_; }

 private:
  int original_ = -1;
  bool entered_ = false;
};

}  // namespace s::platform
