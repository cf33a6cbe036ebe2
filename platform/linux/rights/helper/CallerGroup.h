#pragma once

#include <sys/types.h>

namespace s::platform {

// Whether the calling process's real group, or one of its supplementary groups, is the group
// of the file at `path`: the helper's own file says which group may run it, so no group name is
// looked up. `group` is set to that group.
bool callerInGroupOf(const char* path, gid_t& group);

}  // namespace s::platform
