#pragma once

#include <cairo.h>

#include <cstdint>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "gui/drawer/Rgb.h"
#include "platform/ui/Rect.h"

namespace s::gui::drawer {

// What every drawer has: up to four colours and four font colours by role (0 is the first),
// and whether it leaves its background unpainted. Each widget's interface says what its roles
// mean.
class IDrawer : public IObject, public IPoolable {
 public:
  static constexpr int kRoles = 4;

  virtual Rgb getColour(int role) const = 0;
  virtual void setColour(int role, Rgb colour) = 0;
  virtual Rgb getFontColour(int role) const = 0;
  virtual void setFontColour(int role, Rgb colour) = 0;
  virtual bool isTransparent() const = 0;
  virtual void setTransparent(bool transparent) = 0;
};

}  // namespace s::gui::drawer
