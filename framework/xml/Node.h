#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "framework/base/Pooled.h"
#include "framework/col/Array.h"
#include "framework/col/ArrayP.h"
#include "framework/xml/Attributes.h"

namespace s::xml {

class IXml : public IObject, public IPoolable {};

// One element of a small XML tree: a name, attributes (element text is the attribute with
// the empty name) and child elements. Values stay escaped in the tree; the typed adders
// escape and the typed getters unescape.
class Node final : public Pooled<Node, IXml> {
 public:
  Node();
  ~Node() override = default;
  void reset() override;

  // Tree.
  uint32_t childCount() const { return children_.count(); }
  Node* child(uint32_t index) const { return children_.at(index); }
  // A new child from the pool, named and appended.
  Node* addChild(std::u16string_view name);
  // Appends `node`, which the tree then owns.
  void appendChild(PoolPtr<Node> node) { children_.push(std::move(node)); }
  // Removes and releases the child at `index`.
  void removeChild(uint32_t index);
  // `nameIs` on each child in order; the first match wins.
  bool findChild(std::u16string_view name, uint32_t& index, int length = -1) const;
  Node* childNamed(std::u16string_view name, int length = -1) const;

  std::u16string_view name() const { return name_; }
  void setName(std::u16string_view name) { name_.assign(name); }
  // length -1: the whole name without regard to case; otherwise exactly the first `length`
  // characters of `text`, case-sensitively, and the name must end there.
  bool nameIs(std::u16string_view text, int length = -1) const;
  bool isComment() const { return !name_.empty() && name_[0] == u'!'; }
  // Empties attributes and children.
  void clear();

  // Attributes.
  Attributes& attributes() { return attributes_; }
  const Attributes& attributes() const { return attributes_; }
  void addU8(std::u16string_view name, uint8_t value) { addU64Text(name, value); }
  void addU16(std::u16string_view name, uint16_t value) { addU64Text(name, value); }
  void addU32(std::u16string_view name, uint32_t value) { addU64Text(name, value); }
  void addS8(std::u16string_view name, int8_t value) { addS64(name, value); }
  void addS16(std::u16string_view name, int16_t value) { addS64(name, value); }
  void addS32(std::u16string_view name, int32_t value) { addS64(name, value); }
  void addS64(std::u16string_view name, int64_t value);
  void addF32(std::u16string_view name, float value) { addF64(name, value); }
  void addF64(std::u16string_view name, double value);
  void addString(std::u16string_view name, std::u16string_view value);
  void addBytes(std::u16string_view name, const uint8_t* bytes, uint32_t count);
  void addArray16(std::u16string_view name, const uint16_t* values, uint32_t count);
  void addArray32(std::u16string_view name, const uint32_t* values, uint32_t count);
  void addArray64(std::u16string_view name, const uint64_t* values, uint32_t count);
  void addArray64Words(std::u16string_view name, const uint64_t* values, uint32_t count);

  // The stored (escaped) text of the first attribute `name`, or `fallback`.
  std::u16string_view rawValue(std::u16string_view name, std::u16string_view fallback) const;
  bool getBool(std::u16string_view name, bool fallback) const;
  uint8_t getU8(std::u16string_view name, uint8_t fallback) const;
  uint16_t getU16(std::u16string_view name, uint16_t fallback) const;
  uint32_t getU32(std::u16string_view name, uint32_t fallback) const;
  uint64_t getU64(std::u16string_view name, uint64_t fallback) const;
  int8_t getS8(std::u16string_view name, int8_t fallback) const;
  int16_t getS16(std::u16string_view name, int16_t fallback) const;
  int32_t getS32(std::u16string_view name, int32_t fallback) const;
  int64_t getS64(std::u16string_view name, int64_t fallback) const;
  float getF32(std::u16string_view name, float fallback) const;
  double getF64(std::u16string_view name, double fallback) const;
  // The unescaped text of attribute `name`, or `fallback`; appended to `out` or replacing it.
  void getString(std::u16string& out, std::u16string_view name, std::u16string_view fallback,
                 bool append = false) const;
  // Decodes hex pairs into `out`; answers false (out untouched) when the attribute is missing.
  bool getBytes(std::u16string_view name, col::ArrayU08& out) const;

  // Text and files.
  // Parses one element from `pos`; answers the position after it. Never reads past the text.
  size_t parse(std::u16string_view text, size_t pos = 0);
  // Parses a whole document: optional byte-order mark, declaration and comments, then one
  // element, then nothing but blanks and comments. The tree is what parse() gives; the answer
  // is whether the text was such a document, complete and written as this class writes, so
  // that saving the tree gives back what was read.
  bool parseDocument(std::u16string_view text);
  // Decodes UTF-8 and parses.
  void parseBytes(const uint8_t* bytes, size_t count);
  void toText(std::u16string& out, bool append = false) const;
  // The text as UTF-8 without byte-order mark or terminator.
  std::string toBytes() const;

  std::u16string_view className() const override { return u"s_xml_Node"; }

 private:
  void addU64Text(std::u16string_view name, uint64_t value);
  template <class Word>
  void addHexWords(std::u16string_view name, const Word* values, uint32_t count, int digits);
  // The raw text of the attribute as ASCII for the number conversions; false when missing.
  bool numberText(std::u16string_view name, std::string& out) const;
  template <class T, class Parse>
  T numberOr(std::u16string_view name, T fallback, Parse parse) const;
  void addTextRun(std::u16string_view text, size_t from, size_t& pos);
  // `whole` turns false where the text is cut off or is not what toText() writes.
  size_t parseElement(std::u16string_view text, size_t pos, int depth, bool& whole);
  // Past blanks, a byte-order mark (at 0), declarations and comments.
  static size_t skipProlog(std::u16string_view text, size_t pos);

  // Deeper documents are cut there; the program's own documents nest a few levels.
  static constexpr int kMaxDepth = 256;

  col::ArrayP<Node> children_;
  Attributes attributes_;
  std::u16string name_;
};

}  // namespace s::xml
