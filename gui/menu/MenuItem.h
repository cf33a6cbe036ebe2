#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/base/Pooled.h"

namespace s::lang {
class Localizer;
}

namespace s::gui::menuitem {

// One entry of a menu: a command with its text (literal, or a language-pack text read again
// on every change of language), a check flag, or a separator line.
class MenuItem final : public Pooled<MenuItem, PoolableObject> {
 public:
  MenuItem() = default;

  // Text `textId` of `localizer`, looked up now and again on each change of language.
  static PoolPtr<MenuItem> newMenuItem(std::int32_t textId, lang::Localizer* localizer,
                                       std::int32_t commandId, bool checked);
  // A literal text, not checked.
  static PoolPtr<MenuItem> newMenuItemText(std::u16string_view text, std::int32_t commandId);
  static PoolPtr<MenuItem> newSeparator();

  lang::Localizer* getLocalizer() const { return localizer_; }
  void setLocalizer(lang::Localizer* localizer) { localizer_ = localizer; }
  const std::u16string& getText() const { return text_; }
  void setText(std::u16string_view text) { text_ = text; }
  std::int32_t getTextId() const { return textId_; }
  void setTextId(std::int32_t textId) { textId_ = textId; }
  std::int32_t getCommandId() const { return commandId_; }
  void setCommandId(std::int32_t commandId) { commandId_ = commandId; }
  bool isChecked() const { return checked_; }
  void setChecked(bool checked) { checked_ = checked; }
  bool isSeparator() const { return separator_; }
  // Reads the text again from the localizer when the item has a text id; literal texts stay.
  void reread();

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_menuitem_MenuItem"; }

 private:
  lang::Localizer* localizer_ = nullptr;
  std::u16string text_;
  std::int32_t textId_ = -1;
  std::int32_t commandId_ = -1;
  bool checked_ = false;
  bool separator_ = false;
};

}  // namespace s::gui::menuitem
