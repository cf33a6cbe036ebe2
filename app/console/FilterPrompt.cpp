#include "app/console/FilterPrompt.h"

namespace s::app::console {

namespace {

constexpr char kEscape = '\x1b';
constexpr char kCtrlC = '\x03';
constexpr char kCtrlH = '\x08';
constexpr char kCtrlU = '\x15';
constexpr char kDelete = '\x7f';

// The bytes an escape sequence at the front of `bytes` takes (the escape included).
size_t sequenceLength(std::string_view bytes) {
  if (bytes.size() < 2 || (bytes[1] != '[' && bytes[1] != 'O')) {
    // Alt and a key: the escape alone is dropped.
    return 1;
  }
  if (bytes[1] == 'O') {
    return bytes.size() < 3 ? bytes.size() : 3;
  }
  for (size_t i = 2; i < bytes.size(); ++i) {
    if (bytes[i] >= 0x40 && bytes[i] <= 0x7E) {
      return i + 1;
    }
  }
  return bytes.size();
}

}  // namespace

void FilterPrompt::open(std::string_view text) {
  text_ = text;
}

PromptOutcome FilterPrompt::feed(std::string_view& bytes) {
  while (!bytes.empty()) {
    char c = bytes.front();
    if (c == '\r' || c == '\n') {
      bytes.remove_prefix(1);
      return PromptOutcome::kApplied;
    }
    if ((c == kEscape && bytes.size() == 1) || c == kCtrlC) {
      bytes.remove_prefix(1);
      text_.clear();
      return PromptOutcome::kCancelled;
    }
    if (c == kEscape) {
      bytes.remove_prefix(sequenceLength(bytes));
      continue;
    }
    if (c == kDelete || c == kCtrlH) {
      eraseLast();
    } else if (c == kCtrlU) {
      text_.clear();
    } else if (static_cast<unsigned char>(c) >= 0x20) {
      text_ += c;
    }
    bytes.remove_prefix(1);
  }
  return PromptOutcome::kEditing;
}

void FilterPrompt::eraseLast() {
  // Back to the lead byte of the last character.
  while (!text_.empty() && (static_cast<unsigned char>(text_.back()) & 0xC0) == 0x80) {
    text_.pop_back();
  }
  if (!text_.empty()) {
    text_.pop_back();
  }
}

}  // namespace s::app::console
