#include "platform/linux/rights/helper/CallerGroup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace s::platform {

bool callerInGroupOf(const char* path, gid_t& group) {
  struct stat file {};
  if (stat(path, &file) != 0) {
    return false;
  }
  group = file.st_gid;
  if (getgid() == group) {
    return true;
  }
  int count = getgroups(0, nullptr);
  if (count <= 0) {
    return false;
  }
  std::vector<gid_t> groups(static_cast<size_t>(count));
  count = getgroups(count, groups.data());
  return count > 0 &&
         std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

}  // namespace s::platform
