#pragma once

#include <array>

#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer {

// The colour store behind every drawer interface. `Interface` is the widget's interface;
// reset() gives back the colours the derived drawer was made with (setDefaults()).
template <class Interface>
class DrawerBase : public Interface {
 public:
  Rgb getColour(int role) const override { return inRange(role) ? colours_[role] : 0; }
  void setColour(int role, Rgb colour) override {
    if (inRange(role)) {
      colours_[role] = colour;
    }
  }
  Rgb getFontColour(int role) const override { return inRange(role) ? fonts_[role] : 0; }
  void setFontColour(int role, Rgb colour) override {
    if (inRange(role)) {
      fonts_[role] = colour;
    }
  }
  bool isTransparent() const override { return transparent_; }
  void setTransparent(bool transparent) override { transparent_ = transparent; }

  void reset() override {
    colours_ = defaults_;
    fonts_ = defaultFonts_;
    transparent_ = defaultTransparent_;
  }

 protected:
  // Fixes the reset state; called by the drawer's constructor.
  void setDefaults(std::array<Rgb, IDrawer::kRoles> colours, std::array<Rgb, IDrawer::kRoles> fonts,
                   bool transparent) {
    defaults_ = colours;
    defaultFonts_ = fonts;
    defaultTransparent_ = transparent;
    DrawerBase::reset();
  }

 private:
  static bool inRange(int role) { return role >= 0 && role < IDrawer::kRoles; }

  std::array<Rgb, IDrawer::kRoles> colours_{};
  std::array<Rgb, IDrawer::kRoles> fonts_{};
  bool transparent_ = false;
  std::array<Rgb, IDrawer::kRoles> defaults_{};
  std::array<Rgb, IDrawer::kRoles> defaultFonts_{};
  bool defaultTransparent_ = false;
};

}  // namespace s::gui::drawer
