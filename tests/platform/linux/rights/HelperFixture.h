#pragma once

// The rights helper as the tests grant it, and a process without rights to use it from.

#include <sys/types.h>

#include <functional>
#include <string>

#include "tests/support/TempFolder.h"

namespace s::platform::test {

inline constexpr gid_t kNogroup = 65534;
// A group that nobody:nogroup is not in.
inline constexpr gid_t kOtherGroup = 1;  // daemon

struct HelperGrant {
  gid_t group = kNogroup;
  mode_t mode = 0750;
  bool capabilities = true;
};

// A copy of the built helper, in a folder of its own that nobody may enter, with the group,
// mode and capabilities of `grant`. Needs root; ok() is false without it.
class GrantedHelper {
 public:
  explicit GrantedHelper(HelperGrant grant = {});

  bool ok() const { return ok_; }
  const std::string& path() const { return path_; }

 private:
  s::test::TempFolder folder_;
  std::string path_;
  bool ok_ = false;
};

// Runs `body` in a forked child that first runs `asRoot` (say, entering a namespace), then drops
// to nobody:nogroup without any capability. Gives what `body` gave ("" when all went well), or
// why the child did not end by itself within the bound.
std::string asNobody(
    const std::function<std::string()>& body,
    const std::function<bool()>& asRoot = [] { return true; });

// A field of /proc/<pid>/status ("CapEff", "NoNewPrivs", ...); empty when there is none.
std::string statusField(pid_t pid, const std::string& name);

// Waits, within a bound, until the process has ended (gone or a zombie).
bool endsSoon(pid_t pid);

}  // namespace s::platform::test
