#pragma once

#include <termios.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/console/ScreenText.h"

namespace s::app::console {

// The terminal while the console view runs: raw input (no echo, no line editing, no
// signals from keys), the alternate screen and a hidden cursor. The modes and the screen
// the terminal had are given back by close() and by the destructor.
class TerminalSession {
 public:
  TerminalSession() = default;
  ~TerminalSession() { close(); }
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  // `in` and `out` are the terminal's input and output. False, with nothing changed, when
  // `in` is not a terminal.
  bool open(int in, int out);
  void close();
  bool isOpen() const { return open_; }

  // The terminal's size; false when it cannot tell.
  bool size(uint32_t& columns, uint32_t& rows) const;
  // The lines from the top-left corner, one a row, over what was there. False once the
  // terminal is gone.
  bool draw(const std::vector<ScreenLine>& lines);

 private:
  bool write(const std::string& bytes);

  int in_ = -1;
  int out_ = -1;
  bool open_ = false;
  termios saved_{};
  std::string frame_;
};

}  // namespace s::app::console
