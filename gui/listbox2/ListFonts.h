#pragma once

#include <cstdint>
#include <string_view>

#include "gui/widgets/Font.h"

namespace s::gui::listbox2 {

// The five fonts of a list's rows: normal, marked (bold) and greyed, the first two with a
// second form for selected text, which takes the drawer's selected-text colour. Changes of face
// and size are made to the normal font and followed by the others; weight and colour changes
// stay with the normal font.
class ListFonts {
 public:
  enum Which : std::uint8_t { kNormal, kNormalSecond, kMarked, kMarkedSecond, kGreyed, kCount };
  // The system's grey-text colour.
  static constexpr drawer::Rgb kGreyText = 0x6D6D6D;

  ListFonts();

  const win::Font& font(Which which) const { return fonts_[which]; }
  const win::Font& normal() const { return fonts_[kNormal]; }
  // The font of a row's text: greyed, marked or normal, the second form when selected.
  const win::Font& forText(bool greyed, bool marked, bool selected) const;

  void setFace(std::u16string_view name);
  void setSizeCode(std::int32_t code);
  void setHeight(std::int32_t height);
  void setWidth(std::int32_t width);
  void setWeight(std::int32_t weight);
  void setColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

  // The state of a new list: every font of size code -2 (8 points).
  void reset();

 private:
  // The others again from the normal font.
  void follow();

  win::Font fonts_[kCount];
};

}  // namespace s::gui::listbox2
