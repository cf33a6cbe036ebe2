#pragma once

#include <string_view>

#include "framework/base/MaybeOwned.h"
#include "framework/base/Pooled.h"
#include "gui/drawer/IStatusBar.h"
#include "gui/drawer/statusbar/Basic.h"
#include "gui/layout/Box.h"
#include "gui/layout/BoxBase.h"
#include "gui/widgets/Button.h"

namespace s::gui::win {

// The bar along the bottom of a window: a row of fields (the owner's labels) and, at the right,
// the resize grip. Painted by the skin's status-bar drawer.
class StatusBar final : public Pooled<StatusBar, BoxBase> {
 public:
  static StatusBar* newStatusBar();

  // A field goes into the fields box.
  void add(IComponent* field) override;
  Box* getFieldsBox() const { return fields_; }
  Button* getGrip() const { return grip_; }
  void setDrawer(drawer::IStatusBar* drawer, bool owned);

  void paint(cairo_t* cr) override;
  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_StatusBar"; }

 private:
  drawer::IStatusBar* barDrawer();

  Box* fields_ = nullptr;
  Button* grip_ = nullptr;
  MaybeOwned<drawer::IStatusBar> drawer_;
  drawer::statusbar::win::Basic basic_;
};

}  // namespace s::gui::win
