#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/IListBox.h"
#include "gui/drawer/listbox/Basic.h"

namespace s::gui::drawer::listbox::win {

// The skinned list look: a plain list drawer of its own holds the colours and paints the rows.
class Thin final : public Pooled<Thin, IListBox> {
 public:
  Basic& basic() { return basic_; }

  Rgb getColour(int role) const override { return basic_.getColour(role); }
  void setColour(int role, Rgb colour) override { basic_.setColour(role, colour); }
  Rgb getFontColour(int role) const override { return basic_.getFontColour(role); }
  void setFontColour(int role, Rgb colour) override { basic_.setFontColour(role, colour); }
  bool isTransparent() const override { return basic_.isTransparent(); }
  void setTransparent(bool transparent) override { basic_.setTransparent(transparent); }
  Rgb getBackground() const override { return basic_.getBackground(); }
  Rgb getText() const override { return basic_.getText(); }
  Rgb getHighlight() const override { return basic_.getHighlight(); }
  Rgb getSelectedText() const override { return basic_.getSelectedText(); }
  Rgb getStripe() const override { return basic_.getStripe(); }
  void setColours(Rgb background, Rgb text, Rgb highlight, Rgb selectedText, Rgb stripe) override {
    basic_.setColours(background, text, highlight, selectedText, stripe);
  }
  Rgb paintRow(cairo_t* cr, const Rect& area, std::uint32_t row, bool striped,
               bool selected) override {
    return basic_.paintRow(cr, area, row, striped, selected);
  }
  void paintInsertionLine(cairo_t* cr, std::int32_t x, std::int32_t y,
                          std::int32_t width) override {
    basic_.paintInsertionLine(cr, x, y, width);
  }

  void reset() override { basic_.reset(); }
  std::u16string_view className() const override { return u"s_gui_drawer_listbox_win_Thin"; }

 private:
  // Held by value: a drawer of another pool could be gone when this pool lets go at exit.
  Basic basic_;
};

}  // namespace s::gui::drawer::listbox::win
