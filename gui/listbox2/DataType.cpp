#include "gui/listbox2/DataType.h"

namespace s::gui::listbox2 {

using str::StrBuffer;

void DataType::setTitleFrom(lang::Localizer* localizer, int32_t titleTextId) {
  detachLocalizer();
  localizer_ = localizer;
  titleTextId_ = titleTextId;
  if (localizer_ != nullptr) {
    localizer_->addListener(this);
    onEvent(localizer_, 0);
  }
}

void DataType::setTitle(std::u16string_view title) {
  detachLocalizer();
  titleTextId_ = -1;
  if (title_ == nullptr) {
    title_ = StrBuffer::make();
  }
  title_->assign(title);
}

void DataType::onEvent(IObject* source, int32_t /*code*/) {
  if (source == nullptr || source != localizer_ || titleTextId_ == -1) {
    return;
  }
  if (title_ == nullptr) {
    title_ = StrBuffer::make();
  }
  title_->assign(localizer_->text(titleTextId_));
}

void DataType::detachLocalizer() {
  if (localizer_ != nullptr) {
    localizer_->removeListener(this);
    localizer_ = nullptr;
  }
}

void DataType::reset() {
  detachLocalizer();
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
