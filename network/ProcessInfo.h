#pragma once

#include <cstdint>

#include "framework/str/StrBuffer.h"
#include "platform/linux/IPoliteCloser.h"

namespace s::system::network::win {

// Process identity and ending, for the records and the program actions. Each text is a fresh
// buffer.

// The executable's file name, or "UnKnown".
PoolPtr<str::StrBuffer> getProcessName(int32_t pid);
// The executable's full path, or an empty text.
PoolPtr<str::StrBuffer> getProcessPath(int32_t pid);
// Asks the program to close, waits up to 5 s, then kills it. Another user's process is left
// alone.
void closeProgram(int32_t pid);
// Ends the process at once. Another user's process is left alone.
void killProgram(int32_t pid);
// Another running copy of this program (same executable path); false when none.
bool findOtherInstance(int32_t& pid);

// The way closeProgram asks; SIGTERM until the window toolkit offers its own (closing the
// process's windows). Not owned; null restores SIGTERM.
void setPoliteCloser(platform::IPoliteCloser* closer);

}  // namespace s::system::network::win
