#include "network/filter/FilterTerm.h"

#include <array>
#include <utility>

#include "network/filter/FoldedText.h"

namespace s::system::network::filter {

namespace {

constexpr std::array<std::pair<std::u16string_view, TermKey>, 8> kKeys{{
    {u"pid", TermKey::kPid},
    {u"port", TermKey::kPort},
    {u"lport", TermKey::kLocalPort},
    {u"rport", TermKey::kRemotePort},
    {u"proto", TermKey::kProtocol},
    {u"state", TermKey::kState},
    {u"host", TermKey::kHost},
    {u"name", TermKey::kName},
}};

constexpr uint32_t kLargestPid = 0x7FFFFFFF;
constexpr uint32_t kLargestPort = 65535;

bool isSpace(char16_t unit) {
  return unit == u' ' || unit == u'\t';
}

bool isLetter(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
}

bool isKeyName(std::u16string_view name) {
  if (name.empty()) {
    return false;
  }
  for (char16_t unit : name) {
    if (!isLetter(unit)) {
      return false;
    }
  }
  return true;
}

// Digits only, up to `largest`.
TermProblem readNumber(std::u16string_view text, uint32_t largest, uint32_t& number) {
  uint64_t value = 0;
  for (char16_t unit : text) {
    if (unit < u'0' || unit > u'9') {
      return TermProblem::kNotANumber;
    }
    value = value * 10 + (unit - u'0');
    if (value > largest) {
      return TermProblem::kOutOfRange;
    }
  }
  number = static_cast<uint32_t>(value);
  return TermProblem::kNone;
}

void readKeyTerm(std::u16string_view name, std::u16string_view value, FilterTerm& term) {
  std::u16string lowerName = foldedCopy(name);
  const auto* known = kKeys.end();
  for (const auto* key = kKeys.begin(); key != kKeys.end(); ++key) {
    if (key->first == lowerName) {
      known = key;
    }
  }
  if (known == kKeys.end()) {
    term.problem = TermProblem::kUnknownKey;
    return;
  }
  term.key = known->second;
  term.value = foldedCopy(value);
  if (value.empty()) {
    term.problem = TermProblem::kEmptyValue;
  } else if (term.key == TermKey::kPid) {
    term.problem = readNumber(value, kLargestPid, term.number);
  } else if (term.key == TermKey::kPort || term.key == TermKey::kLocalPort ||
             term.key == TermKey::kRemotePort) {
    term.problem = readNumber(value, kLargestPort, term.number);
  }
}

FilterTerm readTerm(std::u16string_view text, size_t start) {
  FilterTerm term;
  term.start = static_cast<uint32_t>(start);
  term.length = static_cast<uint32_t>(text.size());
  std::u16string_view body = text;
  if (body.front() == u'-') {
    term.excluded = true;
    body.remove_prefix(1);
    if (body.empty()) {
      term.problem = TermProblem::kNothingExcluded;
      return term;
    }
  }
  size_t colon = body.find(u':');
  if (colon != std::u16string_view::npos && isKeyName(body.substr(0, colon))) {
    readKeyTerm(body.substr(0, colon), body.substr(colon + 1), term);
  } else {
    term.value = foldedCopy(body);
  }
  return term;
}

}  // namespace

std::vector<FilterTerm> parseTerms(std::u16string_view text) {
  std::vector<FilterTerm> terms;
  size_t at = 0;
  while (at < text.size()) {
    if (isSpace(text[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < text.size() && !isSpace(text[end])) {
      ++end;
    }
    terms.push_back(readTerm(text.substr(at, end - at), at));
    at = end;
  }
  return terms;
}

}  // namespace s::system::network::filter
