#include "gui/listbox2/ListUpdateBatch.h"

#include "gui/listbox2/Record.h"

namespace s::gui::listbox2 {

void ListUpdateBatch::discard() {
  for (const Entry& entry : entries_) {
    if (entry.kind == Kind::kGiveValue) {
      disposeValue(entry.value, entry.owner);
    } else if (entry.record != nullptr) {
      entry.record->markPending(nullptr);
    }
  }
  entries_.clear();
  close();
}

}  // namespace s::gui::listbox2
