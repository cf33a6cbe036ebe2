#pragma once

#include <string>
#include <string_view>

#include "gui/drawer/ISkin.h"

namespace s::gui::drawer {

// The fifteen drawer slots and the name that both skin families share.
class SkinBase : public ISkin {
 public:
  SkinBase() = default;
  ~SkinBase() override { SkinBase::reset(); }
  SkinBase(const SkinBase&) = delete;
  SkinBase& operator=(const SkinBase&) = delete;

  std::u16string_view getName() const override { return name_; }
  void setName(std::u16string_view name) override { name_ = name; }
  IBorder* getBorder() const override { return border_; }
  void setBorder(IBorder* drawer) override { replace(border_, drawer); }
  IWindow* getWindow() const override { return window_; }
  void setWindow(IWindow* drawer) override { replace(window_, drawer); }
  IText* getText() const override { return text_; }
  void setText(IText* drawer) override { replace(text_, drawer); }
  IButton* getButton() const override { return button_; }
  void setButton(IButton* drawer) override { replace(button_, drawer); }
  ICheckBox* getCheckBox() const override { return checkBox_; }
  void setCheckBox(ICheckBox* drawer) override { replace(checkBox_, drawer); }
  IRadioButton* getRadioButton() const override { return radioButton_; }
  void setRadioButton(IRadioButton* drawer) override { replace(radioButton_, drawer); }
  IScrollBar* getScrollBar() const override { return scrollBar_; }
  void setScrollBar(IScrollBar* drawer) override { replace(scrollBar_, drawer); }
  ICounter* getCounter() const override { return counter_; }
  void setCounter(ICounter* drawer) override { replace(counter_, drawer); }
  ISlider* getSlider() const override { return slider_; }
  void setSlider(ISlider* drawer) override { replace(slider_, drawer); }
  IListBox* getListBox() const override { return listBox_; }
  void setListBox(IListBox* drawer) override { replace(listBox_, drawer); }
  IListHeader* getListHeader() const override { return listHeader_; }
  void setListHeader(IListHeader* drawer) override { replace(listHeader_, drawer); }
  IMenu* getMenu() const override { return menu_; }
  void setMenu(IMenu* drawer) override { replace(menu_, drawer); }
  IStatusBar* getStatusBar() const override { return statusBar_; }
  void setStatusBar(IStatusBar* drawer) override { replace(statusBar_, drawer); }
  IGroupBox* getGroupBox() const override { return groupBox_; }
  void setGroupBox(IGroupBox* drawer) override { replace(groupBox_, drawer); }
  ITabBox* getTabBox() const override { return tabBox_; }
  void setTabBox(ITabBox* drawer) override { replace(tabBox_, drawer); }

  // Releases every drawer and forgets the name.
  void reset() override;

 private:
  template <class T>
  static void replace(T*& slot, T* drawer) {
    if (slot != nullptr && slot != drawer) {
      slot->release();
    }
    slot = drawer;
  }

  std::u16string name_;
  IBorder* border_ = nullptr;
  IWindow* window_ = nullptr;
  IText* text_ = nullptr;
  IButton* button_ = nullptr;
  ICheckBox* checkBox_ = nullptr;
  IRadioButton* radioButton_ = nullptr;
  IScrollBar* scrollBar_ = nullptr;
  ICounter* counter_ = nullptr;
  ISlider* slider_ = nullptr;
  IListBox* listBox_ = nullptr;
  IListHeader* listHeader_ = nullptr;
  IMenu* menu_ = nullptr;
  IStatusBar* statusBar_ = nullptr;
  IGroupBox* groupBox_ = nullptr;
  ITabBox* tabBox_ = nullptr;
};

}  // namespace s::gui::drawer
