#include "app/NetvigilEx.h"

namespace s::app {

NetvigilEx::~NetvigilEx() = default;

void NetvigilEx::run() {
  std::lock_guard<std::mutex> running(running_);
}

void NetvigilEx::reset() {
  requestStop();
  { std::lock_guard<std::mutex> running(running_); }
  view_ = nullptr;
  sources_ = nullptr;
  localizer_ = nullptr;
  refreshPeriodMs = 1000;
  wakeRequested = false;
  showHostNames = true;
  logLimit = 200;
  clearLogRequested = false;
  loggingSuspended = false;
  stopRequested = false;
}

}  // namespace s::app
