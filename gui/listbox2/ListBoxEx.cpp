#include "gui/listbox2/ListBoxEx.h"

#include "gui/layout/Box.h"

namespace s::gui::win {

using scrollbar::win::Orientation;

ListBoxEx::ListBoxEx() {
  build();
}

void ListBoxEx::reset() {
  BoxBase::reset();
  list_ = nullptr;
  vertical_ = horizontal_ = nullptr;
  build();
}

void ListBoxEx::build() {
  setLayoutPile();
  setShrinkWidth(true);
  setShrinkHeight(true);
  Box* column = Box::newBox(100, 100, 0, 0, 0, 0, 0, 0, kLayoutVertical);
  column->setShrinkWidth(true);
  column->setShrinkHeight(true);
  Box* row = Box::newBox(100, 100, 0, 0, 0, 0, 0, 0, kLayoutHorizontal);
  row->setShrinkWidth(true);
  row->setShrinkHeight(true);
  list_ = ListBox2::take();
  list_->setSizePercent(100, 100);
  vertical_ = ScrollBar::newScrollBar(Orientation::kVertical);
  horizontal_ = ScrollBar::newScrollBar(Orientation::kHorizontal);
  row->add(list_);
  row->add(vertical_);
  column->add(row);
  column->add(horizontal_);
  add(column);
  list_->setScrollBars(vertical_, horizontal_);
  list_->dropBox_ = this;
  addDropListener(this);
}

ListBoxEx* ListBoxEx::newListBoxEx(std::int32_t widthPercent, std::int32_t heightPercent) {
  ListBoxEx* box = take();
  box->setWidthPercent(widthPercent, false);
  box->setHeightPercent(heightPercent, false);
  return box;
}

void ListBoxEx::onEvent(IObject* source, std::int32_t code) {
  if (source == this && code == kEventFilesDropped && list_ != nullptr) {
    list_->filesDropped(getDroppedFiles());
  }
}

}  // namespace s::gui::win
