#pragma once

#include <span>

#include "gui/drawer/ISkin.h"
#include "gui/drawer/Rgb.h"

namespace s::gui::drawer {

// The colours of a scheme that its writing is chosen from: its text, accent (frame) and window
// surface colours first, then every colour of its table.
struct SchemeColours {
  Rgb text;
  Rgb accent;
  Rgb surface;
  std::span<const Rgb> all;
};

// Gives the skin's buttons, scroll bars, list header and menu highlight the colours they write
// with, chosen from the scheme so that captions and texts reach 4.5 : 1 and glyphs 3 : 1 on what
// they are drawn on; and a pressed surface and a header background of the scheme's. The
// schemes' own colours do not always do that where they are used as they stand (a caption in
// the frame colour on a face of the same colour).
void chooseReadableInks(ISkin& skin, const SchemeColours& scheme);

}  // namespace s::gui::drawer
