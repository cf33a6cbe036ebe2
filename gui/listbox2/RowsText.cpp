#include "gui/listbox2/RowsText.h"

#include "framework/str/Utf8.h"

namespace s::gui::listbox2 {

namespace {

bool isControl(char16_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

void appendEncoded(std::string& out, std::u16string_view units) {
  const size_t at = out.size();
  out.resize(at + units.size() * 3);
  out.resize(at + str::utf8::encode(units, reinterpret_cast<uint8_t*>(out.data() + at)));
}

}  // namespace

void appendShown(std::string& out, std::u16string_view text) {
  // Runs without control characters go as they are (the encoder mends lone surrogates).
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !isControl(text[i])) {
      continue;
    }
    appendEncoded(out, text.substr(start, i - start));
    if (i < text.size()) {
      out.append("\xEF\xBF\xBD");
    }
    start = i + 1;
  }
}

void appendTabSeparated(std::string& out, Record& record, const col::ArrayS32& order) {
  for (uint32_t position = 0; position < order.count(); ++position) {
    if (position > 0) {
      out.push_back('\t');
    }
    if (SubRecord* cell = record.cell(static_cast<uint32_t>(order.at(position)))) {
      appendShown(out, cell->text());
    }
  }
  out.push_back('\n');
}

}  // namespace s::gui::listbox2
