#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/console/FilterPrompt.h"
#include "app/console/KeyDecoder.h"

namespace s::app::console {
namespace {

TEST(KeyDecoder, LeavesWhatFollowsTheFilterKeyForThePrompt) {
  KeyDecoder decoder;
  std::vector<Command> commands;
  decoder.feed("s/sq\x1b[A", commands);
  EXPECT_EQ(commands, (std::vector<Command>{Command::kSortNext, Command::kFilter}));
  EXPECT_EQ(decoder.takePending(), "sq\x1b[A");
  EXPECT_EQ(decoder.takePending(), "");
}

TEST(FilterPrompt, EditsTheLineUntilEnterOrEscape) {
  struct Case {
    const char* name;
    std::string start;
    std::vector<std::string> reads;
    std::string text;
    PromptOutcome outcome;
    // What the prompt leaves of the last read.
    std::string rest;
  };
  const Case cases[] = {
      {"typed", "", {"ssh", "d p"}, "sshd p", PromptOutcome::kEditing, ""},
      {"enter keeps it and leaves the keys after it",
       "",
       {"pid:1\rqs"},
       "pid:1",
       PromptOutcome::kApplied,
       "qs"},
      {"edits the text set before",
       "port:22",
       {"\x7f"
        "3\n"},
       "port:23",
       PromptOutcome::kApplied,
       ""},
      // Backspace takes a whole character, not a byte of it.
      {"backspace",
       "",
       {"\xc3\x9c"
        "ber\x7f\x7f\x7f",
        "\x08"},
       "",
       PromptOutcome::kEditing,
       ""},
      {"backspace keeps the character before",
       "",
       {"a\xc3\x9c\x7f"},
       "a",
       PromptOutcome::kEditing,
       ""},
      {"ctrl-u clears the line",
       "",
       {"abc\x15"
        "d"},
       "d",
       PromptOutcome::kEditing,
       ""},
      // Arrows, function keys and Alt are skipped whole, even split across reads.
      {"sequences",
       "",
       {"a\x1b[D\x1b[15~\x1bOAb\x1b"
        "c"},
       "abc",
       PromptOutcome::kEditing,
       ""},
      {"other control keys", "", {"a\tb\x01"}, "ab", PromptOutcome::kEditing, ""},
      {"escape at the end of a read", "", {"abc", "\x1b"}, "", PromptOutcome::kCancelled, ""},
      {"ctrl-c", "sshd", {"\x03q"}, "", PromptOutcome::kCancelled, "q"},
  };
  for (const Case& c : cases) {
    FilterPrompt prompt;
    prompt.open(c.start);
    PromptOutcome outcome = PromptOutcome::kEditing;
    std::string_view bytes;
    for (const std::string& read : c.reads) {
      bytes = read;
      outcome = prompt.feed(bytes);
    }
    EXPECT_EQ(prompt.text(), c.text) << c.name;
    EXPECT_EQ(outcome, c.outcome) << c.name;
    EXPECT_EQ(bytes, c.rest) << c.name;
  }
}

}  // namespace
}  // namespace s::app::console
