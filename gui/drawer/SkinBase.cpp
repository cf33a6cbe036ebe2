#include "gui/drawer/SkinBase.h"

namespace s::gui::drawer {

void SkinBase::reset() {
  name_.clear();
  setBorder(nullptr);
  setWindow(nullptr);
  setText(nullptr);
  setButton(nullptr);
  setCheckBox(nullptr);
  setRadioButton(nullptr);
  setScrollBar(nullptr);
  setCounter(nullptr);
  setSlider(nullptr);
  setListBox(nullptr);
  setListHeader(nullptr);
  setMenu(nullptr);
  setStatusBar(nullptr);
  setGroupBox(nullptr);
  setTabBox(nullptr);
}

}  // namespace s::gui::drawer
