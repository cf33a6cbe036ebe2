#include "network/filter/ConnectionFilter.h"

#include <algorithm>

#include "network/filter/FoldedText.h"

namespace s::system::network::filter {

namespace {

// The number a pid or port cell shows; false for "-", an empty cell or any other text.
bool shownNumber(std::u16string_view text, uint32_t& number) {
  if (text.empty() || text.size() > 10) {
    return false;
  }
  uint64_t value = 0;
  for (char16_t unit : text) {
    if (unit < u'0' || unit > u'9') {
      return false;
    }
    value = value * 10 + (unit - u'0');
  }
  number = static_cast<uint32_t>(value);
  return value <= UINT32_MAX;
}

bool isNumber(std::u16string_view text, uint32_t number) {
  uint32_t shown = 0;
  return shownNumber(text, shown) && shown == number;
}

bool wordOccurs(const ConnectionTexts& row, std::u16string_view word) {
  for (std::u16string_view text : {row.protocol, row.state, row.pid, row.name, row.path, row.local,
                                   row.localPort, row.remote, row.remotePort}) {
    if (containsFolded(text, word)) {
      return true;
    }
  }
  return false;
}

bool holds(const FilterTerm& term, const ConnectionTexts& row) {
  switch (term.key) {
    case TermKey::kWord:
      return wordOccurs(row, term.value);
    case TermKey::kPid:
      return isNumber(row.pid, term.number);
    case TermKey::kPort:
      return isNumber(row.localPort, term.number) || isNumber(row.remotePort, term.number);
    case TermKey::kLocalPort:
      return isNumber(row.localPort, term.number);
    case TermKey::kRemotePort:
      return isNumber(row.remotePort, term.number);
    case TermKey::kProtocol:
      return equalsFolded(row.protocol, term.value);
    case TermKey::kState:
      return equalsFolded(row.state, term.value);
    case TermKey::kHost:
      return equalsFolded(row.local, term.value) || equalsFolded(row.remote, term.value);
    case TermKey::kName:
      return equalsFolded(row.name, term.value);
  }
  return false;
}

}  // namespace

void ConnectionFilter::setText(std::u16string_view text) {
  if (text == text_) {
    return;
  }
  text_.assign(text);
  terms_ = parseTerms(text_);
  wellFormed_ = static_cast<size_t>(std::count_if(
      terms_.begin(), terms_.end(), [](const FilterTerm& term) { return !term.malformed(); }));
}

bool ConnectionFilter::matches(const ConnectionTexts& row) const {
  for (const FilterTerm& term : terms_) {
    if (!term.malformed() && holds(term, row) == term.excluded) {
      return false;
    }
  }
  return true;
}

}  // namespace s::system::network::filter
