#include "app/console/KeyDecoder.h"

namespace s::app::console {

namespace {

constexpr char kEscape = '\x1b';
constexpr char kCtrlC = '\x03';

void plainKey(char c, std::vector<Command>& commands) {
  switch (c) {
    case '\t':
    case 'l':
      commands.push_back(Command::kSwitchView);
      return;
    case 's':
      commands.push_back(Command::kSortNext);
      return;
    case 'S':
      commands.push_back(Command::kSortPrevious);
      return;
    case '+':
      commands.push_back(Command::kFaster);
      return;
    case '-':
      commands.push_back(Command::kSlower);
      return;
    case 'c':
      commands.push_back(Command::kClearLog);
      return;
    case 'p':
      commands.push_back(Command::kSuspendLogging);
      return;
    case 'h':
      commands.push_back(Command::kHostNames);
      return;
    case 'q':
    case kCtrlC:
      commands.push_back(Command::kQuit);
      return;
    default:
      return;
  }
}

// The command of a CSI or SS3 sequence by its parameters and final byte.
void sequence(std::string_view parameters, char final, std::vector<Command>& commands) {
  switch (final) {
    case 'A':
      commands.push_back(Command::kUp);
      return;
    case 'B':
      commands.push_back(Command::kDown);
      return;
    case 'C':
      commands.push_back(Command::kSortNext);
      return;
    case 'D':
      commands.push_back(Command::kSortPrevious);
      return;
    case 'H':
      commands.push_back(Command::kHome);
      return;
    case 'F':
      commands.push_back(Command::kEnd);
      return;
    case 'Z':  // Shift-Tab
      commands.push_back(Command::kSwitchView);
      return;
    case '~':
      if (parameters == "5") {
        commands.push_back(Command::kPageUp);
      } else if (parameters == "6") {
        commands.push_back(Command::kPageDown);
      } else if (parameters == "1" || parameters == "7") {
        commands.push_back(Command::kHome);
      } else if (parameters == "4" || parameters == "8") {
        commands.push_back(Command::kEnd);
      }
      return;
    default:
      return;
  }
}

}  // namespace

size_t KeyDecoder::escape(std::string_view bytes, std::vector<Command>& commands) {
  if (bytes.size() < 2) {
    return 0;
  }
  if (bytes[1] == 'O') {
    if (bytes.size() < 3) {
      return 0;
    }
    sequence({}, bytes[2], commands);
    return 3;
  }
  if (bytes[1] != '[') {
    // Alt and a key: the key alone.
    return 1;
  }
  // Parameter and intermediate bytes run up to the final byte, 0x40 to 0x7E.
  for (size_t i = 2; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c >= 0x40 && c <= 0x7E) {
      sequence(bytes.substr(2, i - 2), c, commands);
      return i + 1;
    }
    if (c < 0x20 || c > 0x3F) {
      // Not a sequence after all: drop what was read of it.
      return i;
    }
  }
  return 0;
}

void KeyDecoder::feed(std::string_view bytes, std::vector<Command>& commands) {
  pending_.append(bytes);
  std::string_view rest = pending_;
  while (!rest.empty()) {
    if (rest[0] == kEscape) {
      size_t taken = escape(rest, commands);
      if (taken == 0) {
        break;
      }
      rest.remove_prefix(taken);
      continue;
    }
    char key = rest[0];
    rest.remove_prefix(1);
    if (key == '/') {
      commands.push_back(Command::kFilter);
      break;
    }
    plainKey(key, commands);
  }
  pending_.erase(0, pending_.size() - rest.size());
}

std::string KeyDecoder::takePending() {
  std::string pending = std::move(pending_);
  pending_.clear();
  return pending;
}

}  // namespace s::app::console
