#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/Pooled.h"
#include "framework/lang/Localizer.h"
#include "framework/str/StrBuffer.h"
#include "gui/listbox2/CellValue.h"

namespace s::gui::listbox2 {

inline constexpr int32_t kAlignLeft = 0;
inline constexpr int32_t kAlignCentre = 1;
inline constexpr int32_t kAlignRight = 2;

// A list column: its title (from the language pack or literal), layout and sort settings.
// A column does not listen to its localizer: the title is read again by retitle(), which the
// list calls on its window's thread when the window's language changes, so that the header
// never reads a title while another thread writes it.
class DataType final : public Pooled<DataType, PoolableObject> {
 public:
  DataType() = default;
  ~DataType() override { reset(); }
  DataType(const DataType&) = delete;
  DataType& operator=(const DataType&) = delete;

  // The title is text `titleTextId` of `localizer` (not owned), read now and by retitle().
  void setTitleFrom(lang::Localizer* localizer, int32_t titleTextId);
  // A literal title; no localizer.
  void setTitle(std::u16string_view title);

  std::u16string_view title() const { return title_ == nullptr ? u"" : title_->view(); }
  int32_t titleTextId() const { return titleTextId_; }
  lang::Localizer* localizer() const { return localizer_; }

  int32_t alignment() const { return alignment_; }
  int32_t width() const { return width_; }
  bool sortable() const { return sortable_; }
  bool editable() const { return editable_; }
  bool showsIcon() const { return showsIcon_; }
  bool checkBoxes() const { return checkBoxes_; }
  bool treeColumn() const { return treeColumn_; }
  CellComparator comparator() const { return comparator_; }
  bool ascending() const { return ascending_; }

  void setAlignment(int32_t alignment) { alignment_ = alignment; }
  void setWidth(int32_t width) { width_ = width; }
  void setSortable(bool on) { sortable_ = on; }
  void setEditable(bool on) { editable_ = on; }
  void setShowsIcon(bool on) { showsIcon_ = on; }
  void setCheckBoxes(bool on) { checkBoxes_ = on; }
  void setTreeColumn(bool on) { treeColumn_ = on; }
  void setComparator(CellComparator comparator) { comparator_ = comparator; }
  void setAscending(bool on) { ascending_ = on; }
  void flipDirection() { ascending_ = !ascending_; }

  // Reads the title again from the column's localizer in its current language; a literal
  // title stays as it is.
  void retitle();

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_listbox2_DataType"; }

 private:
  PoolPtr<str::StrBuffer> title_;
  int32_t titleTextId_ = -1;
  lang::Localizer* localizer_ = nullptr;
  int32_t alignment_ = kAlignLeft;
  int32_t width_ = 0;
  bool sortable_ = false;
  bool editable_ = false;
  bool showsIcon_ = false;
  bool checkBoxes_ = false;
  bool treeColumn_ = false;
  CellComparator comparator_ = nullptr;
  bool ascending_ = true;
};

// A column titled from the language pack.
PoolPtr<DataType> newColumn(int32_t titleTextId, lang::Localizer* localizer, int32_t width,
                            int32_t alignment, bool sortable, CellComparator comparator,
                            bool ascending, bool showsIcon, bool checkBoxes, bool editable,
                            bool treeColumn);
// A column with a literal title.
PoolPtr<DataType> newColumnWithText(std::u16string_view title, int32_t width, int32_t alignment,
                                    bool sortable, CellComparator comparator, bool ascending,
                                    bool showsIcon, bool checkBoxes, bool editable,
                                    bool treeColumn);

}  // namespace s::gui::listbox2
