#include <gtest/gtest.h>

#include <string>

#include "gui/listbox2/RowsText.h"

namespace {

TEST(RowsTextTest, ControlCharactersAndLoneSurrogatesShowAsReplacements) {
  struct Case {
    std::u16string text;
    std::string shown;
  };
  const Case cases[] = {
      {u"plain", "plain"},
      {u"tab\there", "tab\xEF\xBF\xBDhere"},
      {u"two\r\nlines", "two\xEF\xBF\xBD\xEF\xBF\xBDlines"},
      {u"\x1B[31mred", "\xEF\xBF\xBD[31mred"},      // a terminal's escape
      {u"next\u0085line", "next\xEF\xBF\xBDline"},  // C1
      {u"\u30CD\u30C3\u30C8", "\xE3\x83\x8D\xE3\x83\x83\xE3\x83\x88"},
      {u"\u0627\u062A\u0635\u0627\u0644", "\xD8\xA7\xD8\xAA\xD8\xB5\xD8\xA7\xD9\x84"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {std::u16string(1, u'\xD800') + u"x", "\xEF\xBF\xBDx"},
      {u"", ""},
  };
  for (const Case& c : cases) {
    std::string out = "<";
    s::gui::listbox2::appendShown(out, c.text);
    EXPECT_EQ(out, "<" + c.shown);
  }
}

}  // namespace
