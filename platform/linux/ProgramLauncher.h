#pragma once

#include <span>
#include <string>

namespace s::platform {

// Starts a program with an argument vector, never through a shell: `arguments[0]` is looked up
// in PATH. The program gets this environment, /dev/null as its input and output (errors go
// where ours go), the default signal handling and a session of its own, so that the
// terminal's interrupt does not reach it. Nobody waits for it; the process's ChildReaper reaps
// it when it ends. False when it could not be started.
bool launchProgram(std::span<const std::string> arguments);

}  // namespace s::platform
