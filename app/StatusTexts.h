#pragma once

#include <cstdint>
#include <string_view>

#include "framework/str/StrBuffer.h"

namespace s::app {

// "57 Connections (Tcp: 40, Udp: 17)" with `word` for "Connections".
void composeConnectionsText(str::StrBuffer& out, std::u16string_view word, uint32_t tcp,
                            uint32_t udp);
// "1.50 KB/s".
void composeRateText(str::StrBuffer& out, int64_t bytesPerSecond);

}  // namespace s::app
