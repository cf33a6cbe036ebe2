#pragma once

#include <pango/pango-font.h>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "gui/drawer/Rgb.h"

namespace s::gui::drawer {

// What a drawer needs of a component's font to lay out and paint text.
class IFont : public IObject, public IPoolable {
 public:
  virtual const PangoFontDescription* description() const = 0;
  // The text colour when the font's owner set one; else the drawer chooses.
  virtual bool hasColour() const = 0;
  virtual Rgb getColour() const = 0;
  virtual bool isUnderline() const = 0;
  virtual bool isStrikeOut() const = 0;
  // Subpixel antialiasing, else grey antialiasing.
  virtual bool isClearType() const = 0;
};

}  // namespace s::gui::drawer
