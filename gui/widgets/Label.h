#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/base/MaybeOwned.h"
#include "framework/base/Pooled.h"
#include "gui/drawer/IText.h"
#include "gui/drawer/text/Basic.h"
#include "gui/layout/Component.h"
#include "gui/layout/ListenerList.h"
#include "gui/widgets/Font.h"

namespace s::gui::win {

// A line (or wrapped lines) of text. Its size is the measured text. Texts set from other
// threads are carried to the window's thread, and the caller returns once the label shows
// them. A label that is not a link lets the mouse through to what lies beneath; a link tracks
// the mouse like a button and opens its target when clicked (IButton::kEventClick to its click
// listeners, as a button).
class Label final : public Pooled<Label, Component> {
 public:
  static constexpr std::uint32_t kTemporaryTimer = 100;

  Label();

  // A left-aligned label with a literal text.
  static Label* newLabel(std::u16string_view text, bool wrap, std::int32_t sizeCode);
  // A label whose text is the language pack's text `textId`, read again when the language
  // changes.
  static Label* newLabelId(std::int32_t textId, std::int32_t alignment, std::int32_t sizeCode);

  // True when the text changed; the same text again does nothing, not even a repaint.
  bool setText(std::u16string_view text, bool redraw);
  std::u16string getText();
  void setTextId(std::int32_t id);
  std::int32_t getTextId() const { return textId_; }
  // Shows `text` for `ms` milliseconds, then the text shown before (the first one saved when
  // calls overlap). Only with a platform window.
  void showTextFor(std::u16string_view text, std::uint32_t ms);
  void setAlignment(std::int32_t alignment);
  void setWrap(bool wrap);
  void setSizeCode(std::int32_t code);
  void setFace(std::u16string_view name);
  void setColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  void setPointSize(std::int32_t points);
  void setFontHeight(std::int32_t height);
  Font& font() { return font_; }

  void setLink(bool link);
  bool isLink() const { return link_; }
  void setLinkTarget(std::u16string_view target) { linkTarget_ = target; }
  void addClickListener(events::IEventListener* listener) { clickListeners_.add(listener); }
  std::int32_t getHotState() const { return hotState_; }
  // A drawer of the caller's (owned: released with the label) instead of the skin's.
  void setDrawer(drawer::IText* drawer, bool owned);

  void languageChanged() override;
  void paint(cairo_t* cr) override;
  bool handleInput(const platform::ui::Event& event, std::int32_t x, std::int32_t y) override;
  // A link shows the hand.
  platform::ui::PointerShape cursorAt(std::int32_t x, std::int32_t y) const override;
  void captureLost() override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_Label"; }

 protected:
  void createPlatform(IWindow* window, WindowHost* host) override;
  void destroyPlatform() override;

 private:
  drawer::IText* textDrawer();
  void measure();
  void restoreSaved();
  void setHot(std::int32_t state);

  std::u16string text_;
  std::int32_t textId_ = -1;
  // Held by value, not taken from their pools, which may go first at exit.
  Font font_;
  std::int32_t alignment_ = 0;
  bool wrap_ = false;
  MaybeOwned<drawer::IText> drawer_;
  drawer::text::win::Basic basic_;
  bool link_ = false;
  std::u16string linkTarget_;
  std::int32_t hotState_ = 0;
  bool pressed_ = false;
  events::ListenerList clickListeners_;
  std::u16string savedText_;
};

}  // namespace s::gui::win
