#include "app/StatusTexts.h"

#include "framework/str/Format.h"

namespace s::app {

void composeConnectionsText(str::StrBuffer& out, std::u16string_view word, uint32_t tcp,
                            uint32_t udp) {
  out.clear();
  out.appendU32(tcp + udp);
  out.appendChar(u' ');
  out.append(word);
  out.append(u" (Tcp: ");
  out.appendU32(tcp);
  out.append(u", Udp: ");
  out.appendU32(udp);
  out.appendChar(u')');
}

void composeRateText(str::StrBuffer& out, int64_t bytesPerSecond) {
  str::formatByteSize(out, bytesPerSecond);
  out.append(u"/s");
}

}  // namespace s::app
