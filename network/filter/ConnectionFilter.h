#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "network/filter/FilterTerm.h"

namespace s::system::network::filter {

// The texts a row of a connection list shows, as the filter reads them; none owned. A text
// the row does not show (the log has no state) is empty.
struct ConnectionTexts {
  std::u16string_view protocol;
  std::u16string_view state;
  std::u16string_view pid;
  std::u16string_view name;
  std::u16string_view path;
  std::u16string_view local;
  std::u16string_view localPort;
  std::u16string_view remote;
  std::u16string_view remotePort;
};

// A filter over connection rows: its text is parsed once when set; matching a row then
// allocates nothing. A row matches when every well-formed term holds: a word occurs, ignoring
// case, within one of its texts, a key term's field is its value (ignoring case; pids and
// ports as numbers), and an excluded term does not hold. Malformed terms filter nothing.
class ConnectionFilter {
 public:
  void setText(std::u16string_view text);
  std::u16string_view text() const { return text_; }
  const std::vector<FilterTerm>& terms() const { return terms_; }

  // A text is set: the lists say how many of their rows it shows.
  bool isSet() const { return !terms_.empty(); }
  // Some term is well-formed, so rows may be left out.
  bool filters() const { return wellFormed_ > 0; }
  bool hasMalformed() const { return wellFormed_ < terms_.size(); }

  bool matches(const ConnectionTexts& row) const;

 private:
  std::u16string text_;
  std::vector<FilterTerm> terms_;
  size_t wellFormed_ = 0;
};

}  // namespace s::system::network::filter
