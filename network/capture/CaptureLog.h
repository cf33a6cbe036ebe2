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

// Raised when a capture was refused for want of CAP_NET_RAW; the start-up advice reads it.
bool rawAccessAdded();
void setRawAccessAdded();

}  // namespace s::system::network::win
