#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/console/KeyDecoder.h"

namespace s::app::console {
namespace {

using C = Command;

std::vector<Command> decode(std::vector<std::string> reads) {
  KeyDecoder decoder;
  std::vector<Command> commands;
  for (const std::string& bytes : reads) {
    decoder.feed(bytes, commands);
  }
  return commands;
}

TEST(KeyDecoder, TurnsKeysAndSequencesIntoCommands) {
  const std::pair<std::vector<std::string>, std::vector<Command>> cases[] = {
      {{"\tlsS+-cphq\x03"},
       {C::kSwitchView, C::kSwitchView, C::kSortNext, C::kSortPrevious, C::kFaster, C::kSlower,
        C::kClearLog, C::kSuspendLogging, C::kHostNames, C::kQuit, C::kQuit}},
      {{"\x1b[C\x1b[D\x1b[A\x1b[B"}, {C::kSortNext, C::kSortPrevious, C::kUp, C::kDown}},
      // Application cursor mode, and Home/End in their several forms.
      {{"\x1bOC\x1bOH\x1b[1~\x1b[F\x1b[4~"}, {C::kSortNext, C::kHome, C::kHome, C::kEnd, C::kEnd}},
      {{"\x1b[5~\x1b[6~\x1b[Z"}, {C::kPageUp, C::kPageDown, C::kSwitchView}},
      // Unknown keys and sequences (F5, a mouse report) are skipped whole; a modified arrow
      // is the arrow.
      {{"x\x1b[15~\x1b[1;5Cq"}, {C::kSortNext, C::kQuit}},
      {{"\x1b[<0;10;5Mq"}, {C::kQuit}},
      // Alt and a key is the key.
      {{"\x1bq"}, {C::kQuit}},
      // A sequence split across reads is put together.
      {{"\x1b", "[", "6", "~"}, {C::kPageDown}},
      {{"\x1bO", "D"}, {C::kSortPrevious}},
      // A broken sequence does not swallow the key after it.
      {{"\x1b[\x03"}, {C::kQuit}},
  };
  for (const auto& [reads, expected] : cases) {
    EXPECT_EQ(decode(reads), expected) << testing::PrintToString(reads);
  }
}

TEST(KeyDecoder, KeepsAnUnfinishedSequenceUntilItEnds) {
  KeyDecoder decoder;
  std::vector<Command> commands;
  decoder.feed("q\x1b[", commands);
  EXPECT_EQ(commands, std::vector<Command>{C::kQuit});
  decoder.feed("A", commands);
  EXPECT_EQ(commands, (std::vector<Command>{C::kQuit, C::kUp}));
}

}  // namespace
}  // namespace s::app::console
