// Feeds arbitrary bytes to the XML reader the settings file and language pack go through,
// then writes the tree back and reads it again. A text taken as a whole document must read
// back from what is written of it, exactly: the settings store relies on that.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/str/Utf8.h"
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

  std::u16string input(size, u'\0');
  input.resize(s::str::utf8::decode(data, size, input.data()));
  s::PoolPtr<s::xml::Node> document = s::xml::Node::make();
  if (document->parseDocument(input)) {
    std::u16string written;
    document->toText(written);
    s::PoolPtr<s::xml::Node> reread = s::xml::Node::make();
    std::u16string rewritten;
    if (!reread->parseDocument(written) || (reread->toText(rewritten), rewritten != written)) {
      std::abort();
    }
  }
  return 0;
}
