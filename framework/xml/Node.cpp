#include "framework/xml/Node.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "framework/str/Utf8.h"
#include "framework/xml/Escape.h"
#include "framework/xml/Names.h"

namespace s::xml {

namespace {

bool isBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

size_t skipBlanks(std::u16string_view text, size_t pos) {
  while (pos < text.size() && isBlank(text[pos])) {
    ++pos;
  }
  return pos;
}

size_t findFrom(std::u16string_view text, char16_t c, size_t pos) {
  size_t found = text.find(c, pos);
  return found == std::u16string_view::npos ? text.size() : found;
}

// An element or attribute name that reads back as written and is one in XML's sense too: not
// empty, without blanks, markup characters or quotes.
bool isPlainName(std::u16string_view name) {
  return !name.empty() && name.find_first_of(u" \t\r\n<>/=\"'&!?") == std::u16string_view::npos;
}

void appendAscii(std::u16string& out, const char* text) {
  while (*text != 0) {
    out += static_cast<char16_t>(*text++);
  }
}

}  // namespace

Node::Node() {
  children_.setDestructor(&Node::pool());
}

void Node::reset() {
  clear();
  std::u16string().swap(name_);
}

Node* Node::addChild(std::u16string_view name) {
  PoolPtr<Node> node = Node::make();
  node->setName(name);
  Node* added = node.get();
  children_.push(std::move(node));
  return added;
}

void Node::removeChild(uint32_t index) {
  if (index >= children_.count()) {
    return;
  }
  children_.disposeAt(index);
}

bool Node::findChild(std::u16string_view name, uint32_t& index, int length) const {
  for (uint32_t i = 0; i < children_.count(); ++i) {
    if (children_.at(i)->nameIs(name, length)) {
      index = i;
      return true;
    }
  }
  return false;
}

Node* Node::childNamed(std::u16string_view name, int length) const {
  uint32_t index = 0;
  return findChild(name, index, length) ? children_.at(index) : nullptr;
}

bool Node::nameIs(std::u16string_view text, int length) const {
  if (length < 0) {
    return sameName(name_, text);
  }
  return name_ == text.substr(0, static_cast<size_t>(length));
}

void Node::clear() {
  attributes_.clear();
  children_.freeMemory();
}

// Attributes.

void Node::addU64Text(std::u16string_view name, uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%" PRIu64, value);
  std::u16string out;
  appendAscii(out, text);
  attributes_.addRaw(name, out);
}

void Node::addS64(std::u16string_view name, int64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%" PRId64, value);
  std::u16string out;
  appendAscii(out, text);
  attributes_.addRaw(name, out);
}

void Node::addF64(std::u16string_view name, double value) {
  char text[320];
  std::snprintf(text, sizeof text, "%f", value);
  std::u16string out;
  appendAscii(out, text);
  attributes_.addRaw(name, out);
}

void Node::addString(std::u16string_view name, std::u16string_view value) {
  std::u16string out;
  escapeFor(name, value, out);
  attributes_.addRaw(name, out);
}

template <class Word>
void Node::addHexWords(std::u16string_view name, const Word* values, uint32_t count, int digits) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string out;
  out.reserve(size_t{count} * digits);
  for (uint32_t i = 0; i < count; ++i) {
    for (int d = digits - 1; d >= 0; --d) {
      out += kDigits[(static_cast<uint64_t>(values[i]) >> (4 * d)) & 15];
    }
  }
  attributes_.addRaw(name, out);
}

void Node::addBytes(std::u16string_view name, const uint8_t* bytes, uint32_t count) {
  addHexWords(name, bytes, count, 2);
}
void Node::addArray16(std::u16string_view name, const uint16_t* values, uint32_t count) {
  addHexWords(name, values, count, 4);
}
void Node::addArray32(std::u16string_view name, const uint32_t* values, uint32_t count) {
  addHexWords(name, values, count, 8);
}
void Node::addArray64(std::u16string_view name, const uint64_t* values, uint32_t count) {
  addHexWords(name, values, count, 16);
}
void Node::addArray64Words(std::u16string_view name, const uint64_t* values, uint32_t count) {
  // Each element as two 32-bit words, low word first as it lies in memory.
  std::basic_string<uint32_t> words;
  for (uint32_t i = 0; i < count; ++i) {
    words += static_cast<uint32_t>(values[i]);
    words += static_cast<uint32_t>(values[i] >> 32);
  }
  addHexWords(name, words.data(), static_cast<uint32_t>(words.size()), 8);
}

std::u16string_view Node::rawValue(std::u16string_view name, std::u16string_view fallback) const {
  const std::u16string* raw = attributes_.raw(name);
  return raw == nullptr ? fallback : std::u16string_view(*raw);
}

bool Node::numberText(std::u16string_view name, std::string& out) const {
  const std::u16string* raw = attributes_.raw(name);
  if (raw == nullptr) {
    return false;
  }
  out.clear();
  for (char16_t c : *raw) {
    // Anything outside ASCII ends the number anyway.
    out += c < 0x80 ? static_cast<char>(c) : '\x7f';
  }
  return true;
}

bool Node::getBool(std::u16string_view name, bool fallback) const {
  const std::u16string* raw = attributes_.raw(name);
  if (raw == nullptr) {
    return fallback;
  }
  return (!raw->empty() && (*raw)[0] == u'1') || raw->starts_with(u"true");
}

template <class T, class Parse>
T Node::numberOr(std::u16string_view name, T fallback, Parse parse) const {
  std::string text;
  return numberText(name, text) ? static_cast<T>(parse(text.c_str())) : fallback;
}

namespace {
unsigned long parseUnsigned(const char* text) {
  return std::strtoul(text, nullptr, 10);
}
long parseSigned(const char* text) {
  return std::strtol(text, nullptr, 10);
}
long long parseSigned64(const char* text) {
  return std::strtoll(text, nullptr, 10);
}
double parseDouble(const char* text) {
  return std::strtod(text, nullptr);
}
}  // namespace

uint8_t Node::getU8(std::u16string_view name, uint8_t fallback) const {
  return numberOr(name, fallback, parseUnsigned);
}
uint16_t Node::getU16(std::u16string_view name, uint16_t fallback) const {
  return numberOr(name, fallback, parseUnsigned);
}
uint32_t Node::getU32(std::u16string_view name, uint32_t fallback) const {
  return numberOr(name, fallback, parseUnsigned);
}
uint64_t Node::getU64(std::u16string_view name, uint64_t fallback) const {
  // 64-bit values are written signed.
  return numberOr(name, fallback, parseSigned64);
}
int8_t Node::getS8(std::u16string_view name, int8_t fallback) const {
  return numberOr(name, fallback, parseSigned);
}
int16_t Node::getS16(std::u16string_view name, int16_t fallback) const {
  return numberOr(name, fallback, parseSigned);
}
int32_t Node::getS32(std::u16string_view name, int32_t fallback) const {
  return numberOr(name, fallback, parseSigned);
}
int64_t Node::getS64(std::u16string_view name, int64_t fallback) const {
  return numberOr(name, fallback, parseSigned64);
}
float Node::getF32(std::u16string_view name, float fallback) const {
  return numberOr(name, fallback, parseDouble);
}
double Node::getF64(std::u16string_view name, double fallback) const {
  return numberOr(name, fallback, parseDouble);
}

void Node::getString(std::u16string& out, std::u16string_view name, std::u16string_view fallback,
                     bool append) const {
  if (!append) {
    out.clear();
  }
  const std::u16string* raw = attributes_.raw(name);
  if (raw == nullptr) {
    out += fallback;
    return;
  }
  unescapeFor(name, *raw, out);
}

bool Node::getBytes(std::u16string_view name, col::ArrayU08& out) const {
  const std::u16string* raw = attributes_.raw(name);
  if (raw == nullptr) {
    return false;
  }
  PoolPtr<str::StrBuffer> text(str::StrBuffer::of(*raw));
  text->hexToBytes(out, false);
  return true;
}

// Text.

void Node::addTextRun(std::u16string_view text, size_t from, size_t& pos) {
  pos = findFrom(text, u'<', from);
  attributes_.addRaw(u"", text.substr(from, pos - from));
}

size_t Node::parse(std::u16string_view text, size_t pos) {
  bool whole = true;
  return parseElement(text, pos, 0, whole);
}

bool Node::parseDocument(std::u16string_view text) {
  size_t pos = skipProlog(text, 0);
  if (pos >= text.size() || text[pos] != u'<') {
    return false;
  }
  bool whole = true;
  pos = parseElement(text, pos, 0, whole);
  return whole && !isComment() && skipProlog(text, pos) == text.size();
}

size_t Node::skipProlog(std::u16string_view text, size_t pos) {
  if (pos == 0 && text.starts_with(u"\uFEFF")) {
    pos = 1;
  }
  for (;;) {
    pos = skipBlanks(text, pos);
    std::u16string_view rest = text.substr(pos);
    std::u16string_view close;
    if (rest.starts_with(u"<?")) {
      close = u"?>";
    } else if (rest.starts_with(u"<!--")) {
      close = u"-->";
    } else {
      return pos;
    }
    size_t found = text.find(close, pos + 2);
    if (found == std::u16string_view::npos) {
      return pos;
    }
    pos = found + close.size();
  }
}

size_t Node::parseElement(std::u16string_view text, size_t pos, int depth, bool& whole) {
  const size_t end = text.size();
  // Where the text is cut off, or is not what the writer writes: the tree keeps what was read
  // and the document does not count as whole.
  auto cut = [&whole, end] {
    whole = false;
    return end;
  };
  pos = findFrom(text, u'<', pos);
  if (pos >= end) {
    return cut();
  }
  if (pos + 1 < end && isBlank(text[pos + 1])) {
    whole = false;
  }
  pos = skipBlanks(text, pos + 1);
  if (pos >= end) {
    return cut();
  }
  if (text[pos] == u'!') {
    name_.assign(text.substr(pos, 3));
    if (!text.substr(pos).starts_with(u"!--")) {
      whole = false;
    }
    size_t close = text.find(u"-->", pos);
    return close == std::u16string_view::npos ? cut() : close + 3;
  }
  size_t nameStart = pos;
  while (pos < end && !isBlank(text[pos]) && text[pos] != u'/' && text[pos] != u'>') {
    ++pos;
  }
  name_.assign(text.substr(nameStart, pos - nameStart));
  if (!isPlainName(name_)) {
    whole = false;
  }

  // Attributes; only double-quoted values exist.
  for (;;) {
    pos = skipBlanks(text, pos);
    if (pos >= end) {
      return cut();
    }
    if (text[pos] == u'>' || text[pos] == u'/') {
      break;
    }
    size_t attrStart = pos;
    while (pos < end && text[pos] != u'=' && !isBlank(text[pos])) {
      ++pos;
    }
    std::u16string_view attrName = text.substr(attrStart, pos - attrStart);
    size_t open = findFrom(text, u'"', pos);
    size_t close = open < end ? findFrom(text, u'"', open + 1) : end;
    if (close >= end) {
      return cut();
    }
    // name="value", blanks allowed around the "=" and nothing else.
    size_t equals = skipBlanks(text, pos);
    if (!isPlainName(attrName) || equals >= end || text[equals] != u'=' ||
        skipBlanks(text, equals + 1) != open) {
      whole = false;
    }
    attributes_.addRaw(attrName, text.substr(open + 1, close - open - 1));
    pos = close + 1;
  }

  if (text[pos] == u'/') {
    if (pos + 1 < end && text[pos + 1] != u'>') {
      whole = false;
    }
    size_t close = findFrom(text, u'>', pos);
    return close >= end ? cut() : close + 1;
  }

  pos = skipBlanks(text, pos + 1);
  // Only the first text run is written back.
  bool hasText = false;
  if (pos < end && text[pos] != u'<') {
    addTextRun(text, pos, pos);
    hasText = true;
  }
  while (pos < end && !(text[pos] == u'<' && pos + 1 < end && text[pos + 1] == u'/')) {
    if (depth >= kMaxDepth) {
      // Hostile nesting: keep what was read and stop rather than exhaust the stack.
      return cut();
    }
    PoolPtr<Node> node = Node::make();
    pos = node->parseElement(text, pos, depth + 1, whole);
    // A comment leaves no trace; an element cut off before its name is dropped too.
    if (node->name_.empty()) {
      whole = false;
    } else if (!node->isComment()) {
      children_.push(std::move(node));
    }
    pos = skipBlanks(text, pos);
    if (pos < end && text[pos] != u'<') {
      whole = whole && !hasText;
      addTextRun(text, pos, pos);
      hasText = true;
    }
  }
  if (pos >= end) {
    return cut();
  }
  // The closing tag names this element: "</" name, blanks, ">".
  size_t closeName = pos + 2;
  size_t afterName = closeName + name_.size();
  if (text.substr(closeName, name_.size()) != name_ || skipBlanks(text, afterName) >= end ||
      text[skipBlanks(text, afterName)] != u'>') {
    whole = false;
  }
  size_t close = findFrom(text, u'>', pos);
  return close >= end ? cut() : close + 1;
}

void Node::toText(std::u16string& out, bool append) const {
  if (!append) {
    out.clear();
  }
  out += u'<';
  out += name_;
  const std::u16string* text = nullptr;
  for (uint32_t i = 0; i < attributes_.count(); ++i) {
    const AttrRecord& record = attributes_.at(i);
    if (record.name.empty()) {
      if (text == nullptr) {
        text = &record.value;
      }
      continue;
    }
    out += u' ';
    out += record.name;
    out += u"=\"";
    out += record.value;
    out += u'"';
  }
  out += u'>';
  if (text != nullptr) {
    out += *text;
  }
  for (uint32_t i = 0; i < children_.count(); ++i) {
    children_.at(i)->toText(out, true);
  }
  out += u"</";
  out += name_;
  out += u'>';
}

void Node::parseBytes(const uint8_t* bytes, size_t count) {
  std::u16string text(count, u'\0');
  text.resize(str::utf8::decode(bytes, count, text.data()));
  parse(text);
}

std::string Node::toBytes() const {
  std::u16string text;
  toText(text);
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(str::utf8::encode(text, reinterpret_cast<uint8_t*>(bytes.data())));
  return bytes;
}

}  // namespace s::xml
