#include "app/LogFileName.h"

namespace s::app {
namespace {

void appendTwoDigits(std::u16string& out, uint32_t value) {
  out += static_cast<char16_t>(u'0' + value / 10 % 10);
  out += static_cast<char16_t>(u'0' + value % 10);
}

}  // namespace

std::u16string defaultLogFileName(const time::Time& localTime) {
  std::u16string name = u"LOG-";
  appendTwoDigits(name, localTime.year() % 100);
  appendTwoDigits(name, localTime.month());
  appendTwoDigits(name, localTime.day());
  name += u'-';
  appendTwoDigits(name, localTime.hour());
  name += u".htm";
  return name;
}

}  // namespace s::app
