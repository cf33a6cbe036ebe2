#pragma once

#include <cstdint>
#include <string_view>

#include "app/NetvigilEx.h"
#include "app/console/CommandLine.h"
#include "framework/settings/IMappedData.h"

namespace s::app::console {

// The monitor's own settings, in the main window's directory as the window keeps them.
inline constexpr std::u16string_view kViewDir = u"MainWindow\\View";
inline constexpr std::u16string_view kRefreshFrequencyKey = u"RefreshFrequency";
inline constexpr std::u16string_view kLogUpToKey = u"LogUpTo";
inline constexpr std::u16string_view kSuspendLoggingKey = u"SuspendLogging";
inline constexpr std::u16string_view kHostNamesKey = u"EnableHostNameResolution";
inline constexpr std::u16string_view kCurrentColumnOrderDir = u"MainWindow\\ConnectionsColumnOrder";
inline constexpr std::u16string_view kLogColumnOrderDir = u"MainWindow\\ConnectionsLogColumnOrder2";

inline constexpr int32_t kDefaultLogLimit = 200;

// What the controller starts with.
struct MonitorSettings {
  uint32_t refreshPeriodMs = 1000;
  int32_t logLimit = kDefaultLogLimit;
  bool loggingSuspended = false;
  bool showHostNames = true;
};

// The stored values, with the defaults for missing ones. A period the menu lacks is 1 second;
// a log limit that is not positive, which would leave no room for any entry, is the default.
MonitorSettings readMonitorSettings(settings::IMappedData& data);

// The controller's start: the stored values, overridden for this run by the command line.
void startController(NetvigilEx& controller, const CommandLine& line, settings::IMappedData& data);

}  // namespace s::app::console
