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

}  // namespace s::app::console
