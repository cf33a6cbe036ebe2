#include "gui/listbox2/ListFonts.h"

namespace s::gui::listbox2 {

namespace {
constexpr std::int32_t kListSizeCode = -2;
}

ListFonts::ListFonts() {
  reset();
}

void ListFonts::reset() {
  fonts_[kNormal].reset();
  fonts_[kNormal].setSizeCode(kListSizeCode);
  follow();
}

void ListFonts::follow() {
  const win::Font& normal = fonts_[kNormal];
  for (Which which : {kNormalSecond, kMarked, kMarkedSecond, kGreyed}) {
    win::Font& font = fonts_[which];
    font.copyFrom(normal);
    font.clearColour();
  }
  fonts_[kMarked].setBold(true);
  fonts_[kMarkedSecond].setBold(true);
  fonts_[kGreyed].setColour((kGreyText >> 16) & 0xFF, (kGreyText >> 8) & 0xFF, kGreyText & 0xFF);
}

const win::Font& ListFonts::forText(bool greyed, bool marked, bool selected) const {
  if (greyed) {
    return selected && marked ? fonts_[kMarkedSecond] : fonts_[kGreyed];
  }
  if (marked) {
    return fonts_[selected ? kMarkedSecond : kMarked];
  }
  return fonts_[selected ? kNormalSecond : kNormal];
}

void ListFonts::setFace(std::u16string_view name) {
  fonts_[kNormal].setFace(name);
  follow();
}

void ListFonts::setSizeCode(std::int32_t code) {
  if (fonts_[kNormal].setSizeCode(code)) {
    follow();
  }
}

void ListFonts::setHeight(std::int32_t height) {
  fonts_[kNormal].setHeight(height);
  follow();
}

void ListFonts::setWidth(std::int32_t width) {
  fonts_[kNormal].setWidth(width);
  follow();
}

void ListFonts::setWeight(std::int32_t weight) {
  fonts_[kNormal].setWeight(weight);
  follow();
}

void ListFonts::setColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  fonts_[kNormal].setColour(red, green, blue);
  follow();
}

}  // namespace s::gui::listbox2
