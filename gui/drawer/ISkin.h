#pragma once

#include <string_view>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/base/Pooled.h"
#include "gui/drawer/IBorder.h"
#include "gui/drawer/IButton.h"
#include "gui/drawer/ICheckBox.h"
#include "gui/drawer/ICounter.h"
#include "gui/drawer/IGroupBox.h"
#include "gui/drawer/IListBox.h"
#include "gui/drawer/IListHeader.h"
#include "gui/drawer/IMenu.h"
#include "gui/drawer/IRadioButton.h"
#include "gui/drawer/IScrollBar.h"
#include "gui/drawer/ISlider.h"
#include "gui/drawer/IStatusBar.h"
#include "gui/drawer/ITabBox.h"
#include "gui/drawer/IText.h"
#include "gui/drawer/IWindow.h"

namespace s::gui::drawer {

// A named set of drawers, one per widget kind, made from one colour scheme. The skin owns its
// drawers: setting one lets the drawer it replaces go.
class ISkin : public IObject, public IPoolable {
 public:
  virtual std::u16string_view getName() const = 0;
  virtual void setName(std::u16string_view name) = 0;
  virtual IBorder* getBorder() const = 0;
  virtual void setBorder(PoolPtr<IBorder> drawer) = 0;
  virtual IWindow* getWindow() const = 0;
  virtual void setWindow(PoolPtr<IWindow> drawer) = 0;
  virtual IText* getText() const = 0;
  virtual void setText(PoolPtr<IText> drawer) = 0;
  virtual IButton* getButton() const = 0;
  virtual void setButton(PoolPtr<IButton> drawer) = 0;
  virtual ICheckBox* getCheckBox() const = 0;
  virtual void setCheckBox(PoolPtr<ICheckBox> drawer) = 0;
  virtual IRadioButton* getRadioButton() const = 0;
  virtual void setRadioButton(PoolPtr<IRadioButton> drawer) = 0;
  virtual IScrollBar* getScrollBar() const = 0;
  virtual void setScrollBar(PoolPtr<IScrollBar> drawer) = 0;
  virtual ICounter* getCounter() const = 0;
  virtual void setCounter(PoolPtr<ICounter> drawer) = 0;
  virtual ISlider* getSlider() const = 0;
  virtual void setSlider(PoolPtr<ISlider> drawer) = 0;
  virtual IListBox* getListBox() const = 0;
  virtual void setListBox(PoolPtr<IListBox> drawer) = 0;
  virtual IListHeader* getListHeader() const = 0;
  virtual void setListHeader(PoolPtr<IListHeader> drawer) = 0;
  virtual IMenu* getMenu() const = 0;
  virtual void setMenu(PoolPtr<IMenu> drawer) = 0;
  virtual IStatusBar* getStatusBar() const = 0;
  virtual void setStatusBar(PoolPtr<IStatusBar> drawer) = 0;
  virtual IGroupBox* getGroupBox() const = 0;
  virtual void setGroupBox(PoolPtr<IGroupBox> drawer) = 0;
  virtual ITabBox* getTabBox() const = 0;
  virtual void setTabBox(PoolPtr<ITabBox> drawer) = 0;
};

}  // namespace s::gui::drawer
