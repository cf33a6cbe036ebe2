#include "gui/drawer/ReadableInks.h"

#include <initializer_list>
#include <vector>

#include "gui/drawer/Contrast.h"
#include "gui/drawer/IButton.h"
#include "gui/drawer/IListHeader.h"
#include "gui/drawer/IMenu.h"
#include "gui/drawer/IScrollBar.h"

namespace s::gui::drawer {

namespace {

using contrast::readableOn;

// `first` in its order, then the rest of the scheme's colours.
std::vector<Rgb> preferring(std::initializer_list<Rgb> first, std::span<const Rgb> all) {
  std::vector<Rgb> order(first);
  order.insert(order.end(), all.begin(), all.end());
  return order;
}

constexpr int kHoverParts = 256;

// The colour furthest from `face` towards `target`, at most half way, on which the caption
// and the glyph still read.
Rgb towardsWhileReadable(Rgb face, Rgb target, Rgb caption, Rgb glyph) {
  Rgb last = face;
  for (int part = 1; part <= kHoverParts / 2; ++part) {
    const Rgb next = blend(face, target, part, kHoverParts);
    if (contrast::ratio(caption, next) < contrast::kText ||
        contrast::ratio(glyph, next) < contrast::kGlyph) {
      break;
    }
    last = next;
  }
  return last;
}

// A button under the mouse: the face shaded towards the pressed surface, or away from the
// inks where that leaves them unreadable sooner; whichever changes the face more.
Rgb hoverSurface(Rgb face, Rgb pressed, Rgb caption, Rgb glyph) {
  const Rgb away = contrast::luminance(caption) < contrast::luminance(face) ? 0xFFFFFF : 0x000000;
  const Rgb toPressed = towardsWhileReadable(face, pressed, caption, glyph);
  const Rgb fromInks = towardsWhileReadable(face, away, caption, glyph);
  return contrast::ratio(face, toPressed) >= contrast::ratio(face, fromInks) ? toPressed : fromInks;
}

}  // namespace

void chooseReadableInks(ISkin& skin, const SchemeColours& scheme) {
  const std::vector<Rgb> textFirst = preferring({scheme.text, scheme.accent}, scheme.all);
  const std::vector<Rgb> accentFirst = preferring({scheme.accent, scheme.text}, scheme.all);

  if (IButton* button = skin.getButton()) {
    const Rgb face = button->getColour(1);
    // Pressed, the accent fills the button where it stands apart from the face.
    const Rgb pressed =
        readableOn(face, preferring({scheme.accent}, scheme.all), contrast::kDistinct);
    const Rgb caption = readableOn(face, textFirst, contrast::kText);
    const Rgb glyph = readableOn(face, accentFirst, contrast::kGlyph);
    button->setColour(2, pressed);
    button->setColour(3, hoverSurface(face, pressed, caption, glyph));
    button->setFontColour(0, caption);
    button->setFontColour(1, glyph);
    // On the pressed surface the face colour writes, as the inverted look has it, when it can.
    const std::vector<Rgb> faceFirst = preferring({face, scheme.text}, scheme.all);
    button->setFontColour(2, readableOn(pressed, faceFirst, contrast::kText));
    button->setFontColour(3, readableOn(pressed, faceFirst, contrast::kGlyph));
  }
  if (IScrollBar* bar = skin.getScrollBar()) {
    bar->setFontColour(0, readableOn(bar->getColour(1), accentFirst, contrast::kGlyph));
  }
  if (IListHeader* header = skin.getListHeader()) {
    header->setColour(1, scheme.surface);
    header->setFontColour(0, readableOn(scheme.surface, textFirst, contrast::kText));
    header->setFontColour(1, readableOn(scheme.surface, accentFirst, contrast::kGlyph));
  }
  if (IMenu* menu = skin.getMenu()) {
    const Rgb highlight = menu->getColour(1);
    menu->setFontColour(
        3, readableOn(highlight, preferring({menu->getColour(2), scheme.text}, scheme.all),
                      contrast::kText));
  }
}

}  // namespace s::gui::drawer
