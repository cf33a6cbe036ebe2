#include "gui/listbox2/DataType.h"

namespace s::gui::listbox2 {

using str::StrBuffer;

void DataType::setTitleFrom(lang::Localizer* localizer, int32_t titleTextId) {
  localizer_ = localizer;
  titleTextId_ = titleTextId;
  retitle();
}

void DataType::setTitle(std::u16string_view title) {
  localizer_ = nullptr;
  titleTextId_ = -1;
  if (title_ == nullptr) {
    title_ = StrBuffer::make();
  }
  title_->assign(title);
}

void DataType::retitle() {
  if (localizer_ == nullptr || titleTextId_ == -1) {
    return;
  }
  if (title_ == nullptr) {
    title_ = StrBuffer::make();
  }
  title_->assign(localizer_->text(titleTextId_));
}

void DataType::reset() {
  localizer_ = nullptr;
  title_.reset();
  titleTextId_ = -1;
  alignment_ = kAlignLeft;
  width_ = 0;
  sortable_ = editable_ = showsIcon_ = checkBoxes_ = treeColumn_ = false;
  comparator_ = nullptr;
  ascending_ = true;
}

namespace {

PoolPtr<DataType> newColumnBase(int32_t width, int32_t alignment, bool sortable,
                                CellComparator comparator, bool ascending, bool showsIcon,
                                bool checkBoxes, bool editable, bool treeColumn) {
  PoolPtr<DataType> column = DataType::make();
  column->setWidth(width);
  column->setAlignment(alignment);
  column->setSortable(sortable);
  column->setComparator(comparator);
  column->setAscending(ascending);
  column->setShowsIcon(showsIcon);
  column->setCheckBoxes(checkBoxes);
  column->setEditable(editable);
  column->setTreeColumn(treeColumn);
  return column;
}

}  // namespace

PoolPtr<DataType> newColumn(int32_t titleTextId, lang::Localizer* localizer, int32_t width,
                            int32_t alignment, bool sortable, CellComparator comparator,
                            bool ascending, bool showsIcon, bool checkBoxes, bool editable,
                            bool treeColumn) {
  PoolPtr<DataType> column = newColumnBase(width, alignment, sortable, comparator, ascending,
                                           showsIcon, checkBoxes, editable, treeColumn);
  column->setTitleFrom(localizer, titleTextId);
  return column;
}

PoolPtr<DataType> newColumnWithText(std::u16string_view title, int32_t width, int32_t alignment,
                                    bool sortable, CellComparator comparator, bool ascending,
                                    bool showsIcon, bool checkBoxes, bool editable,
                                    bool treeColumn) {
  PoolPtr<DataType> column = newColumnBase(width, alignment, sortable, comparator, ascending,
                                           showsIcon, checkBoxes, editable, treeColumn);
  column->setTitle(title);
  return column;
}

}  // namespace s::gui::listbox2
