#include "gui/menu/MenuItem.h"

#include "framework/lang/Localizer.h"

namespace s::gui::menuitem {

PoolPtr<MenuItem> MenuItem::newMenuItem(std::int32_t textId, lang::Localizer* localizer,
                                        std::int32_t commandId, bool checked) {
  PoolPtr<MenuItem> item = make();
  item->localizer_ = localizer;
  item->textId_ = textId;
  item->commandId_ = commandId;
  item->checked_ = checked;
  item->reread();
  return item;
}

PoolPtr<MenuItem> MenuItem::newMenuItemText(std::u16string_view text, std::int32_t commandId) {
  PoolPtr<MenuItem> item = make();
  item->text_ = text;
  item->commandId_ = commandId;
  return item;
}

PoolPtr<MenuItem> MenuItem::newSeparator() {
  PoolPtr<MenuItem> item = make();
  item->separator_ = true;
  return item;
}

void MenuItem::reread() {
  if (textId_ >= 0 && localizer_ != nullptr) {
    text_ = localizer_->text(textId_);
  }
}

void MenuItem::reset() {
  localizer_ = nullptr;
  text_.clear();
  textId_ = -1;
  commandId_ = -1;
  checked_ = false;
  separator_ = false;
}

}  // namespace s::gui::menuitem
