#include "gui/listbox2/ListKeys.h"

#include <algorithm>

#include "gui/listbox2/ListBox2.h"

namespace s::gui::listbox2 {

namespace modifier = platform::ui::modifier;

namespace {

// X keysyms, the numbering of the key events (the keypad's too, with Num Lock off).
enum Key : std::uint32_t {
  kSpace = 0x20,
  kLetterA = 0x61,
  kLetterC = 0x63,
  kHome = 0xFF50,
  kUp = 0xFF52,
  kDown = 0xFF54,
  kPageUp = 0xFF55,
  kPageDown = 0xFF56,
  kEnd = 0xFF57,
  kPadHome = 0xFF95,
  kPadUp = 0xFF97,
  kPadDown = 0xFF99,
  kPadPageUp = 0xFF9A,
  kPadPageDown = 0xFF9B,
  kPadEnd = 0xFF9C,
};

// Letters with Shift or Caps Lock come as capitals.
std::uint32_t lowered(std::uint32_t keysym) {
  return keysym >= 0x41 && keysym <= 0x5A ? keysym + 0x20 : keysym;
}

}  // namespace

bool ListKeys::move(std::int64_t to, std::uint32_t modifiers) {
  const std::uint32_t count = list_.list_.recordCount();
  if (count == 0) {
    return true;
  }
  const auto row = static_cast<std::uint32_t>(std::clamp<std::int64_t>(to, 0, count - 1));
  Record& record = *list_.list_.record(row);
  const bool shift = (modifiers & modifier::kShift) != 0 && list_.options_.multiSelect;
  const bool control = (modifiers & modifier::kControl) != 0 && list_.options_.multiSelect;
  if (shift) {
    Record* anchor = list_.anchorRecord();
    list_.selectRange(anchor != nullptr ? anchor->row() : row, row, control);
    list_.setFocusRow(&record, anchor == nullptr);
  } else if (control) {
    // Ctrl moves the focus alone; Ctrl+Space then picks rows.
    list_.setFocusRow(&record, true);
  } else {
    list_.selectOnly(record);
    list_.setFocusRow(&record, true);
  }
  list_.setTopRow(list_.viewport().topRowShowing(row));
  return true;
}

bool ListKeys::handle(const platform::ui::Event& event) {
  list_.lastKey_ = event.keysym;
  list_.keyHandled_ = false;
  list_.send(kEventKey);
  if (list_.keyHandled_) {
    return true;
  }
  const std::uint32_t mods = event.modifiers & modifier::kKeys;
  const bool control = (mods & modifier::kControl) != 0;
  const Record* focused = list_.focusedRecord();
  const std::int64_t at = focused != nullptr ? focused->row() : -1;
  const ListViewport v = list_.viewport();
  // A page moves by the rows that fit, less the one kept from the page before.
  const std::int64_t page = std::max<std::int64_t>(v.fullRows() > 1 ? v.fullRows() - 1 : 1, 1);
  switch (event.keysym) {
    case kUp:
    case kPadUp:
      return move(at < 0 ? 0 : at - 1, mods);
    case kDown:
    case kPadDown:
      return move(at + 1, mods);
    case kPageUp:
    case kPadPageUp:
      return move(at < 0 ? 0 : at - page, mods);
    case kPageDown:
    case kPadPageDown:
      return move(at < 0 ? page : at + page, mods);
    case kHome:
    case kPadHome:
      return move(0, mods);
    case kEnd:
    case kPadEnd:
      return move(static_cast<std::int64_t>(v.rowCount) - 1, mods);
    case kSpace:
      if (focused == nullptr || (mods & modifier::kAlt) != 0) {
        return false;
      }
      if (control && list_.options_.multiSelect) {
        list_.setRowSelection(*list_.focusedRecord(), !focused->selected());
      } else {
        list_.selectOnly(*list_.focusedRecord());
      }
      return true;
    default:
      break;
  }
  if (!control || (mods & modifier::kAlt) != 0) {
    return false;
  }
  switch (lowered(event.keysym)) {
    case kLetterA:
      if (list_.options_.multiSelect) {
        list_.selectAll();
      }
      return true;
    case kLetterC:
      list_.copySelection();
      return true;
    default:
      return false;
  }
}

}  // namespace s::gui::listbox2
