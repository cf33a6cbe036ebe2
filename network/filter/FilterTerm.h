#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace s::system::network::filter {

// What a term compares: a word with any shown text, or one field exactly.
enum class TermKey {
  kWord,
  kPid,
  kPort,  // the local or the remote port
  kLocalPort,
  kRemotePort,
  kProtocol,
  kState,
  kHost,  // the local or the remote address or host name, as shown
  kName,  // the process name
};

// Why a term filters nothing.
enum class TermProblem {
  kNone,
  kUnknownKey,
  kEmptyValue,
  kNotANumber,
  kOutOfRange,
  kNothingExcluded,  // "-" alone
};

struct FilterTerm {
  TermKey key = TermKey::kWord;
  // -term: the rows it matches are left out.
  bool excluded = false;
  // The word or value in the filter's case (see FoldedText.h).
  std::u16string value;
  // The value of pid and port terms.
  uint32_t number = 0;
  TermProblem problem = TermProblem::kNone;
  // Where the term stands in the filter's text, in UTF-16 units.
  uint32_t start = 0;
  uint32_t length = 0;

  bool malformed() const { return problem != TermProblem::kNone; }
};

// The terms of a filter text: separated by spaces or tabs, each a word, `key:value` or either
// after "-". A term whose part before its first colon is letters only is a key term; a key of
// another name, an empty value or a pid or port that is not a number in range makes it
// malformed, kept with its problem. Anything else (":80", "10.0.0.1:443") is a word.
std::vector<FilterTerm> parseTerms(std::u16string_view text);

}  // namespace s::system::network::filter
