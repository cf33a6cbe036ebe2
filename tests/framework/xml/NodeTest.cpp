#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/xml/Node.h"

namespace {

using s::PoolPtr;
using s::xml::Node;

PoolPtr<Node> parsed(std::u16string_view text) {
  PoolPtr<Node> node = Node::make();
  node->parse(text);
  return node;
}

std::u16string written(const Node& node) {
  std::u16string out;
  node.toText(out);
  return out;
}

std::u16string textOf(const Node& node) {
  std::u16string out;
  node.getString(out, u"", u"-");
  return out;
}

TEST(NodeParseTest, SelfClosingElementKeepsItsAttributesAndIsWrittenWithAClosingTag) {
  auto node = parsed(u"<View RefreshFrequency=\"1000\" Host=\"1\"/>");
  EXPECT_EQ(node->name(), u"View");
  EXPECT_EQ(node->attributes().count(), 2u);
  EXPECT_EQ(node->childCount(), 0u);
  EXPECT_EQ(node->getU32(u"refreshfrequency", 0), 1000u);  // names in any case
  EXPECT_EQ(written(*node), u"<View RefreshFrequency=\"1000\" Host=\"1\"></View>");
}

TEST(NodeParseTest, TreeShapesAndOddities) {
  struct Case {
    std::u16string_view text;
    std::u16string_view rewritten;
  };
  const Case cases[] = {
      // Comments leave no trace; blanks between elements go.
      {u"<a>\n  <b/>\n  <!-- note -->\n  <c x=\"1\"></c>\n</a>", u"<a><b></b><c x=\"1\"></c></a>"},
      // A closing tag with another name still closes the open element.
      {u"<a><b></x><c></c></a>", u"<a><b></b><c></c></a>"},
      // Anything before the first "<" is ignored.
      {u"\uFEFF\n\n<root></root>", u"<root></root>"},
      // Element text keeps its trailing blanks raw, starts at the first non-blank.
      {u"<t>  some text  </t>", u"<t>some text  </t>"},
      // Text runs between children: the first is written back, all are kept.
      {u"<t>one<c></c>two</t>", u"<t>one<c></c></t>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(written(*parsed(c.text)), c.rewritten) << std::string(c.text.begin(), c.text.end());
  }
  auto twoRuns = parsed(u"<t>one<c></c>two</t>");
  EXPECT_EQ(twoRuns->attributes().count(), 2u);
  EXPECT_EQ(textOf(*twoRuns), u"one");
}

TEST(NodeParseTest, TextWithoutAnyTagLeavesAFreshElementUnnamedAndEmpty) {
  auto node = parsed(u"no tags at all");
  EXPECT_TRUE(node->name().empty());
  EXPECT_EQ(node->attributes().count(), 0u);
  EXPECT_EQ(node->childCount(), 0u);
}

TEST(NodeParseTest, CutOffDocumentsGivePartialTreesAtEveryOffset) {
  // Every state of the parser: tag, attribute name and value, text, comment, closing tag.
  const std::u16string document =
      u"<savedata id=\"x&amp;y\"><MainWindow X=\"10\" Y=\"20\"><View RefreshFrequency=\"1000\">"
      u"text&#160;<!-- a comment --></View></MainWindow><Language>English</Language></savedata>";
  for (size_t cut = 0; cut <= document.size(); ++cut) {
    // A copy of exactly `cut` units: the sanitizer build catches any read past it.
    std::u16string prefix(document, 0, cut);
    prefix.shrink_to_fit();
    PoolPtr<Node> node = Node::make();
    size_t end = node->parse(std::u16string_view(prefix.data(), prefix.size()));
    EXPECT_LE(end, cut);
  }
  auto whole = parsed(document);
  EXPECT_EQ(whole->childCount(), 2u);
}

TEST(NodeParseTest, HostileNestingStopsWithoutExhaustingTheStack) {
  std::u16string deep;
  for (int i = 0; i < 100000; ++i) {
    deep += u"<a>";
  }
  auto node = parsed(deep);
  int depth = 0;
  for (Node* n = node.get(); n->childCount() > 0; n = n->child(0)) {
    ++depth;
  }
  EXPECT_GT(depth, 100);
  EXPECT_LT(depth, 100000);
}

TEST(NodeDocumentTest, AWholeDocumentIsOneCompleteElementThatReadsBackAsWritten) {
  const std::u16string_view whole[] = {
      u"<savedata><View RefreshFrequency=\"1000\"></View><Language>English</Language></savedata>",
      u"\uFEFF<?xml version=\"1.0\"?>\n<!-- kept -->\n<savedata a = \"1\"/>\n<!-- end -->\n",
      u"<a><b></b  ><!-- c --><d x=\"&lt;&amp;\"/></a>",
  };
  for (std::u16string_view text : whole) {
    PoolPtr<Node> node = Node::make();
    EXPECT_TRUE(node->parseDocument(text)) << std::string(text.begin(), text.end());
    // What a whole document gives is written so that it reads back the same.
    std::u16string once = written(*node);
    PoolPtr<Node> again = Node::make();
    EXPECT_TRUE(again->parseDocument(once));
    EXPECT_EQ(written(*again), once);
  }
  const std::u16string_view broken[] = {
      u"",
      u"no tags at all",
      u"<savedata><View></View>",      // cut off
      u"<savedata><View></savedata>",  // an element left open
      u"<a><b></x></a>",               // a closing tag of another name
      u"<a></a><b></b>",               // two roots
      u"<a></a> trailing text",        // something after the root
      u"text first <a></a>",           // something before it
      u"<!\xFFFD\xFFFD><a></a>",       // a comment mark that never ends
      u"<!DOCTYPE x><a></a>",          // a declaration we do not read
      u"<a b></a>",                    // an attribute without a value
      u"<a b c=\"1\"></a>",            // a value given to the wrong name
      u"<a b>c=\"1\"></a>",            // markup in a name
      u"< a></a>",                     // a blank before the name
      u"<a/ ></a>",                    // a "/" not ending the tag
      u"<a>one<b></b>two</a>",         // a second text run, never written
      u"<a><></></a>",                 // an element without a name
  };
  for (std::u16string_view text : broken) {
    PoolPtr<Node> node = Node::make();
    EXPECT_FALSE(node->parseDocument(text)) << std::string(text.begin(), text.end());
  }
  std::u16string deep;
  for (int i = 0; i < 1000; ++i) {
    deep += u"<a>";
  }
  for (int i = 0; i < 1000; ++i) {
    deep += u"</a>";
  }
  PoolPtr<Node> node = Node::make();
  EXPECT_FALSE(node->parseDocument(deep));
}

TEST(NodeValueTest, TextsAreEscapedOnTheWayInAndUnescapedOnTheWayOut) {
  struct Case {
    std::u16string_view name;
    std::u16string_view value;
    std::u16string_view stored;
  };
  const Case cases[] = {
      {u"", u"inner space", u"inner&#160;space"},
      {u"", u"ends in space ", u"ends&#160;in&#160;space&#160;"},
      {u"", u"a<b>&c\nd\re", u"a&lt;b&gt;&amp;c&#10;d&#13;e"},
      {u"k", u"say \"hi\" & <go>\n", u"say &quot;hi&quot; &amp; &lt;go>&#10;"},
      {u"k", u"  trailing  ", u"  trailing  "},
  };
  for (const Case& c : cases) {
    PoolPtr<Node> node = Node::make();
    node->setName(u"e");
    node->addString(c.name, c.value);
    EXPECT_EQ(node->rawValue(c.name, u"?"), c.stored);
    // Through the text form and back.
    auto again = parsed(written(*node));
    std::u16string out;
    again->getString(out, c.name, u"?");
    EXPECT_EQ(out, c.value);
  }
}

TEST(NodeValueTest, EntitiesOutsideTheSetStayLiteral) {
  auto node = parsed(u"<e a=\"x&gt;y&#160;\">&quot;quoted&quot; &amp;amp;</e>");
  std::u16string out;
  node->getString(out, u"a", u"");
  EXPECT_EQ(out, u"x&gt;y&#160;");
  EXPECT_EQ(textOf(*node), u"&quot;quoted&quot; &amp;");
}

TEST(NodeValueTest, TypedValuesRoundTrip) {
  PoolPtr<Node> node = Node::make();
  node->setName(u"v");
  node->addU8(u"u8", 255);
  node->addS16(u"s16", -32768);
  node->addU32(u"u32", 4294967295u);
  node->addS64(u"s64", INT64_MIN);
  node->addF64(u"f64", 0.5);
  const uint8_t bytes[] = {0x00, 0xab, 0x10};
  node->addBytes(u"bytes", bytes, 3);
  const uint64_t words[] = {0x0123456789abcdefULL};
  node->addArray64Words(u"words", words, 1);
  node->addArray64(u"wide", words, 1);

  auto back = parsed(written(*node));
  EXPECT_EQ(back->getU8(u"u8", 0), 255);
  EXPECT_EQ(back->getS16(u"s16", 0), -32768);
  EXPECT_EQ(back->getU32(u"u32", 0), 4294967295u);
  EXPECT_EQ(back->getS64(u"s64", 0), INT64_MIN);
  EXPECT_EQ(back->rawValue(u"f64", u""), u"0.500000");
  EXPECT_DOUBLE_EQ(back->getF64(u"f64", 0), 0.5);
  EXPECT_EQ(back->rawValue(u"bytes", u""), u"00ab10");
  EXPECT_EQ(back->rawValue(u"words", u""), u"89abcdef01234567");
  EXPECT_EQ(back->rawValue(u"wide", u""), u"0123456789abcdef");
  s::col::ArrayU08 decoded;
  ASSERT_TRUE(back->getBytes(u"BYTES", decoded));
  EXPECT_EQ(std::vector<uint8_t>(decoded.begin(), decoded.end()),
            std::vector<uint8_t>(bytes, bytes + 3));

  // Missing values answer the default; booleans read "1..." and "true...".
  EXPECT_EQ(back->getS32(u"missing", -7), -7);
  EXPECT_TRUE(parsed(u"<b x=\"1\"/>")->getBool(u"x", false));
  EXPECT_TRUE(parsed(u"<b x=\"true\"/>")->getBool(u"x", false));
  EXPECT_FALSE(parsed(u"<b x=\"yes\"/>")->getBool(u"x", true));
  EXPECT_TRUE(parsed(u"<b/>")->getBool(u"x", true));
}

TEST(NodeTreeTest, ChildrenAreFoundByNameAndReleasedWhenRemoved) {
  auto root = parsed(u"<r><Alpha/><alpha/><Beta/></r>");
  uint32_t index = 99;
  ASSERT_TRUE(root->findChild(u"ALPHA", index));
  EXPECT_EQ(index, 0u);
  // With a length the comparison is exact and whole.
  ASSERT_TRUE(root->findChild(u"alphabet", index, 5));
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(root->childNamed(u"Alph", 4), nullptr);
  root->removeChild(0);
  EXPECT_EQ(root->childCount(), 2u);
  Node* added = root->addChild(u"Gamma");
  added->addS32(u"n", 3);
  EXPECT_EQ(written(*root), u"<r><alpha></alpha><Beta></Beta><Gamma n=\"3\"></Gamma></r>");
}

}  // namespace
