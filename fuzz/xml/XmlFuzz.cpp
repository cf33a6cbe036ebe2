// Feeds arbitrary bytes to the XML reader the settings file and language pack go through,
// then writes the tree back and reads it again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/xml/Node.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  s::PoolPtr<s::xml::Node> node = s::xml::Node::make();
  node->parseBytes(data, size);
  std::u16string text;
  node->toText(text);
  s::PoolPtr<s::xml::Node> again = s::xml::Node::make();
  again->parse(text);
  std::u16string value;
  again->getString(value, u"", u"");
  again->getString(value, u"a", u"");
  return 0;
}
