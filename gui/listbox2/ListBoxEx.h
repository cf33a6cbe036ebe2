#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/layout/BoxBase.h"
#include "gui/listbox2/ListBox2.h"
#include "gui/widgets/ScrollBar.h"

namespace s::gui::win {

// A list with its skinned scroll bars: a column holding a row (the list beside the vertical
// bar) above the horizontal bar, both bars attached to the list and shown only while needed.
// Files dropped on it go to the list when the list takes them.
class ListBoxEx final : public Pooled<ListBoxEx, BoxBase> {
 public:
  ListBoxEx();

  // Every part fills its parent; the list has no border; the box may shrink to nothing.
  static ListBoxEx* newListBoxEx(std::int32_t widthPercent, std::int32_t heightPercent);

  ListBox2* getList() const { return list_; }
  ScrollBar* getVerticalScrollBar() const { return vertical_; }
  ScrollBar* getHorizontalScrollBar() const { return horizontal_; }

  void onEvent(IObject* source, std::int32_t code) override;
  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_ListBoxEx"; }

 private:
  void build();

  ListBox2* list_ = nullptr;
  ScrollBar* vertical_ = nullptr;
  ScrollBar* horizontal_ = nullptr;
};

}  // namespace s::gui::win
