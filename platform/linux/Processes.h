#pragma once

#include <cstdint>
#include <string>

#include "platform/linux/IPoliteCloser.h"

namespace s::platform {

// Process identity from /proc and the two ways of ending a process. Pids below 1 never reach
// kill(): 0 and -1 would signal a whole group or every process.

// The executable's file name (basename of /proc/<pid>/exe), else /proc/<pid>/comm, else
// "UnKnown".
void processName(int32_t pid, std::string& name);

// The executable's full path, or empty when it cannot be read. For a program whose file was
// removed or replaced while it runs, the path it was started from.
void processPath(int32_t pid, std::string& path);

// False once the process has gone or is a zombie.
bool isProcessAlive(int32_t pid);

// Asks the process to close, waits up to 5 s for it to go (looking every 100 ms), then kills it.
// When the request does not reach it, it is killed at once. A process this user may not signal
// is left alone.
void closeProcess(int32_t pid, IPoliteCloser& closer = TerminateSignalCloser::instance());

// SIGKILL; a process this user may not signal is left alone.
void killProcess(int32_t pid);

// Another process running the executable at `path`; false when there is none.
bool findProcessByPath(const std::string& path, int32_t exceptPid, int32_t& pid);

// This program's own executable path.
void ownExecutablePath(std::string& path);

}  // namespace s::platform
