#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "gui/drawer/ISkin.h"

namespace s::gui::drawer {

// The fifteen drawer slots and the name that both skin families share.
class SkinBase : public ISkin {
 public:
  SkinBase() = default;
  SkinBase(const SkinBase&) = delete;
  SkinBase& operator=(const SkinBase&) = delete;

  std::u16string_view getName() const override { return name_; }
  void setName(std::u16string_view name) override { name_ = name; }
  IBorder* getBorder() const override { return border_.get(); }
  void setBorder(PoolPtr<IBorder> drawer) override { border_ = std::move(drawer); }
  IWindow* getWindow() const override { return window_.get(); }
  void setWindow(PoolPtr<IWindow> drawer) override { window_ = std::move(drawer); }
  IText* getText() const override { return text_.get(); }
  void setText(PoolPtr<IText> drawer) override { text_ = std::move(drawer); }
  IButton* getButton() const override { return button_.get(); }
  void setButton(PoolPtr<IButton> drawer) override { button_ = std::move(drawer); }
  ICheckBox* getCheckBox() const override { return checkBox_.get(); }
  void setCheckBox(PoolPtr<ICheckBox> drawer) override { checkBox_ = std::move(drawer); }
  IRadioButton* getRadioButton() const override { return radioButton_.get(); }
  void setRadioButton(PoolPtr<IRadioButton> drawer) override { radioButton_ = std::move(drawer); }
  IScrollBar* getScrollBar() const override { return scrollBar_.get(); }
  void setScrollBar(PoolPtr<IScrollBar> drawer) override { scrollBar_ = std::move(drawer); }
  ICounter* getCounter() const override { return counter_.get(); }
  void setCounter(PoolPtr<ICounter> drawer) override { counter_ = std::move(drawer); }
  ISlider* getSlider() const override { return slider_.get(); }
  void setSlider(PoolPtr<ISlider> drawer) override { slider_ = std::move(drawer); }
  IListBox* getListBox() const override { return listBox_.get(); }
  void setListBox(PoolPtr<IListBox> drawer) override { listBox_ = std::move(drawer); }
  IListHeader* getListHeader() const override { return listHeader_.get(); }
  void setListHeader(PoolPtr<IListHeader> drawer) override { listHeader_ = std::move(drawer); }
  IMenu* getMenu() const override { return menu_.get(); }
  void setMenu(PoolPtr<IMenu> drawer) override { menu_ = std::move(drawer); }
  IStatusBar* getStatusBar() const override { return statusBar_.get(); }
  void setStatusBar(PoolPtr<IStatusBar> drawer) override { statusBar_ = std::move(drawer); }
  IGroupBox* getGroupBox() const override { return groupBox_.get(); }
  void setGroupBox(PoolPtr<IGroupBox> drawer) override { groupBox_ = std::move(drawer); }
  ITabBox* getTabBox() const override { return tabBox_.get(); }
  void setTabBox(PoolPtr<ITabBox> drawer) override { tabBox_ = std::move(drawer); }

  // Releases every drawer and forgets the name.
  void reset() override;

 private:
  std::u16string name_;
  PoolPtr<IBorder> border_;
  PoolPtr<IWindow> window_;
  PoolPtr<IText> text_;
  PoolPtr<IButton> button_;
  PoolPtr<ICheckBox> checkBox_;
  PoolPtr<IRadioButton> radioButton_;
  PoolPtr<IScrollBar> scrollBar_;
  PoolPtr<ICounter> counter_;
  PoolPtr<ISlider> slider_;
  PoolPtr<IListBox> listBox_;
  PoolPtr<IListHeader> listHeader_;
  PoolPtr<IMenu> menu_;
  PoolPtr<IStatusBar> statusBar_;
  PoolPtr<IGroupBox> groupBox_;
  PoolPtr<ITabBox> tabBox_;
};

}  // namespace s::gui::drawer
