#include "gui/widgets/LinkOpener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <thread>

#include <unistd.h>

#include "gui/drawer/TextLayout.h"

namespace s::gui::win {

bool LinkOpener::open(std::u16string_view target) {
  if (target.empty()) {
    return false;
  }
  std::string command = "xdg-open";
  std::string argument = drawer::TextLayout::utf8(target);
  char* argv[] = {command.data(), argument.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) {
    return false;
  }
  // The handler is reaped in the background so that it leaves no zombie behind.
  std::thread([pid] {
    int status = 0;
    waitpid(pid, &status, 0);
  }).detach();
  return true;
}

}  // namespace s::gui::win
