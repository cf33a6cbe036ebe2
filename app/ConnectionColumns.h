#pragma once

#include <cstdint>

#include "framework/lang/Localizer.h"
#include "gui/listbox2/IListBox2.h"

namespace s::app {

// Cells of a current-list row, in column order.
namespace current {
inline constexpr uint32_t kProtocol = 0;
inline constexpr uint32_t kState = 1;
inline constexpr uint32_t kProcessId = 2;
inline constexpr uint32_t kProcessName = 3;
inline constexpr uint32_t kLocal = 4;
inline constexpr uint32_t kLocalPort = 5;
inline constexpr uint32_t kRemote = 6;
inline constexpr uint32_t kRemotePort = 7;
inline constexpr uint32_t kReceived = 8;
inline constexpr uint32_t kSent = 9;
inline constexpr uint32_t kDuration = 10;
inline constexpr uint32_t kProcessPath = 11;
inline constexpr uint32_t kCellCount = 12;
}  // namespace current

// Cells of a log row, in column order.
namespace logged {
inline constexpr uint32_t kProtocol = 0;
inline constexpr uint32_t kEnd = 1;
inline constexpr uint32_t kProcessId = 2;
inline constexpr uint32_t kProcessName = 3;
inline constexpr uint32_t kLocal = 4;
inline constexpr uint32_t kLocalPort = 5;
inline constexpr uint32_t kRemote = 6;
inline constexpr uint32_t kRemotePort = 7;
inline constexpr uint32_t kReceived = 8;
inline constexpr uint32_t kSent = 9;
inline constexpr uint32_t kDuration = 10;
inline constexpr uint32_t kStart = 11;
inline constexpr uint32_t kProcessPath = 12;
inline constexpr uint32_t kCellCount = 13;
}  // namespace logged

// The columns of the two lists with their titles from `localizer`, then their first sort keys:
// the current list by Protocol, then Process ID; the log by End (latest first), then Protocol.
void addCurrentColumns(gui::IListBox2& list, lang::Localizer* localizer);
void addLogColumns(gui::IListBox2& list, lang::Localizer* localizer);

}  // namespace s::app
