#pragma once

#include <cstdint>
#include <string_view>

#include "framework/str/StrArray.h"

namespace s::system::network::win {

// The capture message log: the watchers' failure texts, process-wide, the latest 100 kept.
inline constexpr uint32_t kCaptureLogLimit = 100;

// Appends under the log's lock; the 101st text drops the oldest.
void addCaptureMessage(std::u16string_view text);
// A new list: "[Packet Watcher]", then a copy of every text, oldest first.
PoolPtr<str::StrArray> getCaptureReport();

// Logs a failed capture step with the errno's name; a refusal for want of CAP_NET_RAW also
// logs, once, how to grant it and raises the raw-access flag.
void logCaptureFailure(const char* step, int error);
// Logs datagrams the kernel dropped from a capture's ring for want of space.
void logCaptureDrops(std::u16string_view address, uint32_t dropped);

// Raised when a capture was refused for want of CAP_NET_RAW; the start-up advice reads it.
bool rawAccessAdded();
void setRawAccessAdded();

// Whether this process may capture, itself or through the rights helper. A refusal is logged
// as a capture failure.
bool captureIsPermitted();

}  // namespace s::system::network::win
