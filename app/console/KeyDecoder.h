#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace s::app::console {

// What a key asks of the console view.
enum class Command {
  kSwitchView,      // Tab, l
  kSortNext,        // s, right arrow
  kSortPrevious,    // S, left arrow
  kFaster,          // +: the next shorter refresh period
  kSlower,          // -: the next longer one
  kClearLog,        // c
  kSuspendLogging,  // p
  kHostNames,       // h
  kQuit,            // q, Ctrl-C
  kFilter,          // /: the filter prompt
  kUp,
  kDown,
  kPageUp,
  kPageDown,
  kHome,
  kEnd,
};

// Turns the bytes a terminal sends in raw mode into commands. An escape sequence split
// across reads is kept until its end arrives; sequences and keys it does not know are
// skipped. "/" ends a feed: the bytes after it are typed at the filter prompt, and wait for
// takePending().
class KeyDecoder {
 public:
  void feed(std::string_view bytes, std::vector<Command>& commands);
  // The bytes not decoded yet.
  std::string takePending();

 private:
  // Decodes the escape sequence at the start of `bytes`: the bytes it takes, 0 when it is
  // not complete yet.
  static size_t escape(std::string_view bytes, std::vector<Command>& commands);

  std::string pending_;
};

}  // namespace s::app::console
