#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/Pooled.h"
#include "framework/str/StrBuffer.h"
#include "gui/listbox2/CellValue.h"

namespace s::gui::listbox2 {

class Record;

inline constexpr int32_t kNoCheckBox = 0;
inline constexpr int32_t kUnchecked = 1;
inline constexpr int32_t kChecked = 2;
inline constexpr int32_t kPartlyChecked = 3;

inline constexpr int32_t kNoChildrenShown = 0;
inline constexpr int32_t kExpanded = 1;
inline constexpr int32_t kCollapsed = 2;

// One cell of a row: its value, the value's owner, and the display text made from the value
// on demand and kept until the value changes.
class SubRecord final : public Pooled<SubRecord, PoolableObject> {
 public:
  SubRecord() = default;
  ~SubRecord() override { reset(); }
  SubRecord(const SubRecord&) = delete;
  SubRecord& operator=(const SubRecord&) = delete;

  Record* record() const { return record_; }
  uint32_t column() const { return column_; }
  void attach(Record* record, uint32_t column) {
    record_ = record;
    column_ = column;
  }

  CellValue value() const { return value_; }
  IDestructor<void>* valueOwner() const { return valueOwner_; }
  ToText toText() const { return toText_; }
  void setValueOwner(IDestructor<void>* owner) { valueOwner_ = owner; }
  void setToText(ToText toText) { toText_ = toText; }
  // Disposes of the old value through the owner and drops the text; the owner and toText
  // stay.
  void setValue(CellValue value);

  // The display text, made with toText when missing; empty without toText.
  std::u16string_view text();
  // Sets a text directly (a cell without toText, or an edited first column).
  void setText(std::u16string_view text);
  // Forgets the text; the buffer is kept so that remaking it allocates nothing.
  void dropText();
  // Drops the text and makes it again.
  void refreshText();

  // "path,index" of the cell's icon; empty when none.
  std::u16string_view iconSource() const;
  // The same as the icon cache's key; null when none.
  const str::StrBuffer* iconSourceText() const { return iconSource_.get(); }
  void setIconSource(std::u16string_view source);

  int32_t checkState() const { return checkState_; }
  void setCheckState(int32_t state) { checkState_ = state; }
  int32_t expandState() const { return expandState_; }
  void setExpandState(int32_t state) { expandState_ = state; }

  bool marked() const { return marked_; }
  bool greyed() const { return greyed_; }
  bool hasHotArea() const { return hotArea_; }
  void setMarked(bool on) { marked_ = on; }
  void setGreyed(bool on) { greyed_ = on; }
  void setHotArea(bool on) { hotArea_ = on; }
  int32_t hotX() const { return hotX_; }
  int32_t hotY() const { return hotY_; }
  int32_t hotWidth() const { return hotWidth_; }
  int32_t hotHeight() const { return hotHeight_; }
  void setHotRectangle(int32_t x, int32_t y, int32_t width, int32_t height);

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_listbox2_SubRecord"; }

 private:
  void dropValue();

  Record* record_ = nullptr;
  uint32_t column_ = 0;
  PoolPtr<str::StrBuffer> text_;
  bool textValid_ = false;
  CellValue value_ = 0;
  IDestructor<void>* valueOwner_ = nullptr;
  ToText toText_ = nullptr;
  PoolPtr<str::StrBuffer> iconSource_;
  int32_t checkState_ = kNoCheckBox;
  bool marked_ = false;
  bool greyed_ = false;
  bool hotArea_ = false;
  int32_t hotX_ = 0;
  int32_t hotY_ = 0;
  int32_t hotWidth_ = 0;
  int32_t hotHeight_ = 0;
  int32_t expandState_ = kNoChildrenShown;
};

// A cell holding `value`, disposed of by `valueOwner` (none: a plain number or a value the
// caller keeps). The icon source is kept only when not empty.
PoolPtr<SubRecord> newCell(CellValue value, IDestructor<void>* valueOwner, ToText toText,
                           std::u16string_view iconSource = {});

}  // namespace s::gui::listbox2
