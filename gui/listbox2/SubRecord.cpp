#include "gui/listbox2/SubRecord.h"

namespace s::gui::listbox2 {

using str::StrBuffer;

void SubRecord::setValue(CellValue value) {
  // The same owned value stored again must survive: disposing of it would free what we keep.
  if (value != value_) {
    dropValue();
    value_ = value;
  }
  dropText();
}

std::u16string_view SubRecord::text() {
  if (!textValid_ && toText_ != nullptr) {
    if (text_ == nullptr) {
      text_ = StrBuffer::make();
    }
    text_->clear();
    toText_(value_, *text_);
    textValid_ = true;
  }
  return textValid_ ? text_->view() : std::u16string_view();
}

void SubRecord::setText(std::u16string_view text) {
  if (text_ == nullptr) {
    text_ = StrBuffer::make();
  }
  text_->assign(text);
  textValid_ = true;
}

void SubRecord::dropText() {
  if (text_ != nullptr) {
    text_->clear();
  }
  textValid_ = false;
}

void SubRecord::refreshText() {
  dropText();
  text();
}

std::u16string_view SubRecord::iconSource() const {
  return iconSource_ == nullptr ? std::u16string_view() : iconSource_->view();
}

void SubRecord::setIconSource(std::u16string_view source) {
  if (source.empty()) {
    iconSource_.reset();
    return;
  }
  if (iconSource_ == nullptr) {
    iconSource_ = StrBuffer::make();
  }
  iconSource_->assign(source);
}

void SubRecord::setHotRectangle(int32_t x, int32_t y, int32_t width, int32_t height) {
  hotX_ = x;
  hotY_ = y;
  hotWidth_ = width;
  hotHeight_ = height;
}

void SubRecord::dropValue() {
  listbox2::disposeValue(value_, valueOwner_);
  value_ = 0;
}

void SubRecord::reset() {
  dropValue();
  text_.reset();
  textValid_ = false;
  valueOwner_ = nullptr;
  toText_ = nullptr;
  setIconSource({});
  record_ = nullptr;
  column_ = 0;
  checkState_ = kNoCheckBox;
  marked_ = greyed_ = hotArea_ = false;
  setHotRectangle(0, 0, 0, 0);
  expandState_ = kNoChildrenShown;
}

PoolPtr<SubRecord> newCell(CellValue value, IDestructor<void>* valueOwner, ToText toText,
                           std::u16string_view iconSource) {
  PoolPtr<SubRecord> cell = SubRecord::make();
  cell->setValueOwner(valueOwner);
  cell->setValue(value);
  cell->setToText(toText);
  cell->setIconSource(iconSource);
  return cell;
}

}  // namespace s::gui::listbox2
