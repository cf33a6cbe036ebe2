#pragma once

namespace s::platform {

// Whether this build installs the system-call filter: the sanitizers' runtime makes calls of
// its own (reading /proc, tracing the threads for the leak check) that the filter would refuse.
bool sandboxFiltersCalls();

// Closes the helper in on what it serves: no new privileges for anything it could start, not
// dumpable (its own user may not trace it and borrow its capabilities), and, where the build
// allows, a system-call filter that kills it at the first call it does not make when serving.
// False when a step failed; the helper must not serve then.
bool lockDown();

}  // namespace s::platform
