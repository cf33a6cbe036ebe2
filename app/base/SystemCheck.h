#pragma once

#include <functional>
#include <string>

#include "platform/linux/ISocketSource.h"

namespace s::app::win {

// Where the monitor shows itself.
enum class Front {
  kWindow,   // a display answers
  kConsole,  // none does: the console view, as on a terminal
};

struct SystemCheck {
  // False: the monitor cannot run here; `problem` is the one line that says why.
  bool usable = true;
  std::string problem;
  Front front = Front::kConsole;
};

// The monitor needs the kernel's socket tables: netlink's sock_diag, else /proc/net. It draws
// its window when `displayAnswers` (the program's display backend opening its display; none:
// the console was asked for) says a display answers, and runs the console view otherwise.
SystemCheck checkSystem(platform::ISocketSource& netlink, platform::ISocketSource& procNet,
                        const std::function<bool()>& displayAnswers);
// The same with the kernel's own sources.
SystemCheck checkSystem(const std::function<bool()>& displayAnswers);

}  // namespace s::app::win
