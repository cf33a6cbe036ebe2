#include "platform/linux/rights/helper/Sandbox.h"

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define NETVIGIL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define NETVIGIL_SANITIZED 1
#endif
#endif

#if defined(__x86_64__)
#define NETVIGIL_SECCOMP_ARCH AUDIT_ARCH_X86_64
#elif defined(__aarch64__)
#define NETVIGIL_SECCOMP_ARCH AUDIT_ARCH_AARCH64
#endif

namespace s::platform {

namespace {

#if defined(NETVIGIL_SECCOMP_ARCH) && !defined(NETVIGIL_SANITIZED)

constexpr uint32_t kAllow = SECCOMP_RET_ALLOW;
constexpr uint32_t kKill = SECCOMP_RET_KILL_PROCESS;

// The low word of a system call's argument (every argument checked is an int).
constexpr uint32_t argument(int index) {
  return static_cast<uint32_t>(offsetof(seccomp_data, args) + 8 * index);
}

class FilterProgram {
 public:
  FilterProgram() {
    load(offsetof(seccomp_data, arch));
    code_.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, NETVIGIL_SECCOMP_ARCH, 1, 0));
    code_.push_back(BPF_STMT(BPF_RET | BPF_K, kKill));
    load(offsetof(seccomp_data, nr));
#if defined(__x86_64__)
    // The x32 numbers of the same calls.
    code_.push_back(BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 0x40000000, 0, 1));
    code_.push_back(BPF_STMT(BPF_RET | BPF_K, kKill));
#endif
  }

  void allow(uint32_t call) {
    code_.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, 1));
    code_.push_back(BPF_STMT(BPF_RET | BPF_K, kAllow));
  }

  // Allows `call` only when its argument `index` is one of `values`.
  void allowWith(uint32_t call, int index, std::initializer_list<uint32_t> values) {
    const auto count = static_cast<uint8_t>(values.size());
    code_.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, static_cast<uint8_t>(count + 3)));
    load(argument(index));
    uint8_t left = count;
    for (uint32_t value : values) {
      code_.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, value, left, 0));
      --left;
    }
    code_.push_back(BPF_STMT(BPF_RET | BPF_K, kKill));
    code_.push_back(BPF_STMT(BPF_RET | BPF_K, kAllow));
  }

  // Allows `call` only when argument `index` has none of the bits of `mask`.
  void allowWithout(uint32_t call, int index, uint32_t mask) {
    code_.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, 5));
    load(argument(index));
    code_.push_back(BPF_STMT(BPF_ALU | BPF_AND | BPF_K, mask));
    code_.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 0, 1, 0));
    code_.push_back(BPF_STMT(BPF_RET | BPF_K, kKill));
    code_.push_back(BPF_STMT(BPF_RET | BPF_K, kAllow));
  }

  bool install() {
    code_.push_back(BPF_STMT(BPF_RET | BPF_K, kKill));
    sock_fprog program{};
    program.len = static_cast<unsigned short>(code_.size());
    program.filter = code_.data();
    return prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program, 0, 0) == 0;
  }

 private:
  void load(uint32_t offset) {
    code_.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offset));
  }

  std::vector<sock_filter> code_;
};

bool installFilter() {
  FilterProgram filter;
  // The channel.
  filter.allow(__NR_recvmsg);
  filter.allow(__NR_sendmsg);
  filter.allow(__NR_close);
#ifdef __NR_poll
  filter.allow(__NR_poll);
#endif
  filter.allow(__NR_ppoll);
  // Capture sockets, the interface check and the destroy request over netlink.
  filter.allowWith(__NR_socket, 0, {AF_PACKET, AF_NETLINK});
  filter.allow(__NR_setsockopt);
  filter.allow(__NR_bind);
  filter.allow(__NR_sendto);
  filter.allow(__NR_recvfrom);
  // Socket owners: /proc and its fd folders are opened as folders only, and their links read.
  filter.allowWith(__NR_openat, 2, {O_RDONLY | O_DIRECTORY | O_CLOEXEC});
  filter.allow(__NR_getdents64);
  filter.allow(__NR_lseek);
  filter.allow(__NR_readlinkat);
  filter.allowWith(__NR_kill, 1, {0});
  // Raising and lowering a request's capabilities.
  filter.allow(__NR_capget);
  filter.allow(__NR_capset);
  // Memory, never executable.
  filter.allow(__NR_brk);
  filter.allowWithout(__NR_mmap, 2, PROT_EXEC);
  filter.allow(__NR_munmap);
  filter.allow(__NR_mremap);
  filter.allow(__NR_madvise);
  // Messages on standard error, the end, and what the C library needs around them.
  filter.allowWith(__NR_write, 0, {2});
  filter.allow(__NR_exit_group);
  filter.allow(__NR_exit);
  filter.allow(__NR_rt_sigreturn);
  filter.allow(__NR_restart_syscall);
  filter.allow(__NR_futex);
  filter.allow(__NR_clock_gettime);
  filter.allow(__NR_getpid);
  return filter.install();
}

#endif

}  // namespace

bool sandboxFiltersCalls() {
#if defined(NETVIGIL_SECCOMP_ARCH) && !defined(NETVIGIL_SANITIZED)
  return true;
#else
  return false;
#endif
}

bool lockDown() {
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0) {
    return false;
  }
#if defined(NETVIGIL_SECCOMP_ARCH) && !defined(NETVIGIL_SANITIZED)
  return installFilter();
#else
  return true;
#endif
}

}  // namespace s::platform
