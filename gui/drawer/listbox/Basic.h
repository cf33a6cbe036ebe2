#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IListBox.h"

namespace s::gui::drawer::listbox::win {

// The list colours and their row painting; a list without a skin starts with white rows,
// black text, the desktop's selection colours and #EEEEEE stripes.
class Basic final : public Pooled<Basic, DrawerBase<IListBox>> {
 public:
  Basic();

  Rgb getBackground() const override { return getColour(0); }
  Rgb getText() const override { return getColour(1); }
  Rgb getHighlight() const override { return getColour(2); }
  Rgb getSelectedText() const override { return getColour(3); }
  Rgb getStripe() const override { return stripe_; }
  void setColours(Rgb background, Rgb text, Rgb highlight, Rgb selectedText, Rgb stripe) override;
  Rgb paintRow(cairo_t* cr, const Rect& area, std::uint32_t row, bool striped,
               bool selected) override;
  void paintInsertionLine(cairo_t* cr, std::int32_t x, std::int32_t y, std::int32_t width) override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_drawer_listbox_win_Basic"; }

 private:
  Rgb stripe_ = kDefaultStripe;
  static constexpr Rgb kDefaultStripe = 0xEEEEEE;
};

}  // namespace s::gui::drawer::listbox::win
