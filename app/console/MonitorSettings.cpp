#include "app/console/MonitorSettings.h"

#include "app/console/RefreshPeriods.h"

namespace s::app::console {

MonitorSettings readMonitorSettings(settings::IMappedData& data) {
  MonitorSettings settings;
  int32_t period =
      data.getS32(kViewDir, kRefreshFrequencyKey, static_cast<int32_t>(kDefaultPeriodMs));
  settings.refreshPeriodMs = kRefreshPeriods[periodPosition(period)].ms;
  int32_t limit = data.getS32(kViewDir, kLogUpToKey, kDefaultLogLimit);
  settings.logLimit = limit > 0 ? limit : kDefaultLogLimit;
  settings.loggingSuspended = data.getBool(kViewDir, kSuspendLoggingKey, false);
  settings.showHostNames = data.getBool(kViewDir, kHostNamesKey, true);
  return settings;
}

void startController(NetvigilEx& controller, const CommandLine& line, settings::IMappedData& data) {
  MonitorSettings start = readMonitorSettings(data);
  controller.refreshPeriodMs = line.periodMs.value_or(start.refreshPeriodMs);
  controller.logLimit = line.logLimit.value_or(start.logLimit);
  controller.loggingSuspended = start.loggingSuspended;
  controller.showHostNames = start.showHostNames && !line.noResolve;
}

}  // namespace s::app::console
