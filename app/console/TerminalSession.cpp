#include "app/console/TerminalSession.h"

#include <errno.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace s::app::console {

namespace {

constexpr std::string_view kEnter = "\x1b[?1049h\x1b[?25l\x1b[H\x1b[2J";
constexpr std::string_view kLeave = "\x1b[0m\x1b[?25h\x1b[?1049l";

}  // namespace

bool TerminalSession::open(int in, int out) {
  if (open_ || tcgetattr(in, &saved_) != 0) {
    return false;
  }
  termios raw = saved_;
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
  raw.c_cflag |= CS8;
  // Reads answer at once with what there is; the view polls before it reads.
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(in, TCSAFLUSH, &raw) != 0) {
    return false;
  }
  in_ = in;
  out_ = out;
  open_ = true;
  write(std::string(kEnter));
  return true;
}

void TerminalSession::close() {
  if (!open_) {
    return;
  }
  open_ = false;
  write(std::string(kLeave));
  tcsetattr(in_, TCSAFLUSH, &saved_);
}

bool TerminalSession::size(uint32_t& columns, uint32_t& rows) const {
  winsize size{};
  if (ioctl(out_, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
    return false;
  }
  columns = size.ws_col;
  rows = size.ws_row;
  return true;
}

bool TerminalSession::draw(const std::vector<ScreenLine>& lines) {
  // Each line is cleared before it is written: clearing after a line that fills the width
  // would take its last character.
  frame_.assign("\x1b[H");
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      frame_ += "\r\n";
    }
    frame_ += "\x1b[2K";
    frame_ += lines[i].inverse ? "\x1b[7m" : "";
    frame_ += lines[i].text;
    frame_ += lines[i].inverse ? "\x1b[0m" : "";
  }
  return write(frame_);
}

bool TerminalSession::write(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = ::write(out_, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

}  // namespace s::app::console
