#pragma once

#include "platform/ui/Event.h"

namespace s::gui::win {
class ListBox2;
}

namespace s::gui::listbox2 {

// What a list does with keys: event 8 first, whose listeners may keep the key from the list;
// then the arrows, PgUp, PgDn, Home and End move the focused row and bring it into view,
// selecting it alone, extending from the anchor with Shift, or leaving the selection with Ctrl
// (Ctrl+Space then toggles the focused row); Ctrl+A selects every row and Ctrl+C copies the
// selected ones.
class ListKeys {
 public:
  explicit ListKeys(win::ListBox2& list) : list_(list) {}

  bool handle(const platform::ui::Event& event);

 private:
  bool move(std::int64_t to, std::uint32_t modifiers);

  win::ListBox2& list_;
};

}  // namespace s::gui::listbox2
