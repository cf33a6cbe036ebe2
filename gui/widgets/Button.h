#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/base/MaybeOwned.h"
#include "framework/base/Pooled.h"
#include "gui/drawer/button/Basic.h"
#include "gui/layout/Component.h"
#include "gui/layout/ListenerList.h"
#include "gui/widgets/Font.h"
#include "gui/widgets/IButton.h"

namespace s::gui::win {

namespace detail {
class ButtonBases : public Component, public IButton {};
}  // namespace detail

// A push button painted by a drawer: the one set on it, else its window's skin's, else the
// plain look. A caption "#name" is a glyph in a skinned look; "#Resizer" makes a resize grip.
class Button final : public Pooled<Button, detail::ButtonBases> {
 public:
  static constexpr std::uint32_t kRepeatDelayTimer = 20001;
  static constexpr std::uint32_t kRepeatTimer = 20002;
  static constexpr std::uint32_t kRepeatDelayMs = 500;
  static constexpr std::uint32_t kRepeatMs = 100;

  Button();

  // Enabled buttons; a negative size leaves that size unset.
  static Button* newButtonText(std::u16string_view text, std::int32_t fixedWidth,
                               std::int32_t fixedHeight);
  static Button* newButtonId(std::int32_t textId, std::int32_t widthPercent,
                             std::int32_t fixedHeight);

  void setText(std::u16string_view text) override;
  const std::u16string& getText() const { return text_; }
  void setTextId(std::int32_t id) override;
  std::int32_t getTextId() const override { return textId_; }
  void setSizeCode(std::int32_t code) override;
  void setFace(std::u16string_view name) override;
  void setColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) override;
  void setPointSize(std::int32_t points) override;
  void setFontHeight(std::int32_t height) override;
  void setBold(bool bold) override;
  void setItalic(bool italic) override;
  void setUnderline(bool underline) override;
  void setWidthPercent(std::int32_t percent) override;
  void setHeightPercent(std::int32_t percent) override;
  void setFixedWidth(std::int32_t px) override;
  void setFixedHeight(std::int32_t px) override;
  void addClickListener(events::IEventListener* listener) override { clicks_.add(listener); }
  void addToggledListener(events::IEventListener* listener) override { toggles_.add(listener); }
  void addPressListener(events::IEventListener* listener) override { presses_.add(listener); }
  void setAutoRepeat(bool autoRepeat) override { autoRepeat_ = autoRepeat; }
  void setDrawer(drawer::IButton* drawer, bool owned) override;
  void setDrawFlag(bool drawFlag) override;
  void setToggle(const ToggleOptions& options) override;
  void setToggle(bool toggle, bool releasable, bool invertLook, bool drawFlag2) override;
  bool isReleasable() const override { return releasable_; }
  bool isPressed() const override { return pressed_; }
  void setPressed(bool pressed) override;
  void makeDefault() override;
  void clearDefault() override;
  bool isDefault() const override { return isDefault_; }
  void setClickable(bool clickable) override { clickable_ = clickable; }
  void setColourSwatch(std::uint8_t red, std::uint8_t green, std::uint8_t blue) override;
  void setEnabled(bool enabled) override;
  std::int32_t getHotState() const { return hotState_; }
  bool isResizeGrip() const { return text_ == u"#Resizer"; }

  void languageChanged() override;
  void paint(cairo_t* cr) override;
  bool handleInput(const platform::ui::Event& event, std::int32_t x, std::int32_t y) override;
  // A button that reacts to clicks takes the focus (the resize grip does not); Space and Enter
  // click it.
  bool isFocusable() const override;
  // The hand while it reacts to clicks, the diagonal sizing arrow on the grip.
  platform::ui::PointerShape cursorAt(std::int32_t x, std::int32_t y) const override;
  bool handleKey(const platform::ui::Event& event) override;
  void captureLost() override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_Button"; }

 protected:
  void createPlatform(IWindow* window, WindowHost* host) override;
  void destroyPlatform() override;

 private:
  drawer::IButton* buttonDrawer();
  void click();
  void repeatTick(std::uint32_t id);
  void stopRepeat();
  void setHot(std::int32_t state);
  void paintGripDots(cairo_t* cr);
  void paintFocusCue(cairo_t* cr, drawer::Rgb colour) const;
  void resizeWindowBy(std::int32_t dx, std::int32_t dy);
  template <class Change>
  void changeFonts(Change change);

  std::u16string text_;
  std::int32_t textId_ = -1;
  // Held by value, not taken from their pools, which may go first at exit.
  Font normal_;
  Font disabled_;
  Font pressedFont_;
  bool followsParent_ = true;
  bool clickable_ = true;
  bool toggle_ = false;
  bool releasable_ = true;
  bool invertLook_ = false;
  bool drawFlag_ = true;
  bool drawFlag2_ = false;
  bool pressed_ = false;
  bool isDefault_ = false;
  bool autoRepeat_ = false;
  std::int32_t hotState_ = 0;
  bool held_ = false;
  bool cursorInside_ = false;
  std::int32_t lastRootX_ = 0;
  std::int32_t lastRootY_ = 0;
  MaybeOwned<drawer::IButton> drawer_;
  drawer::button::win::Basic basic_;
  events::ListenerList clicks_;
  events::ListenerList toggles_;
  events::ListenerList presses_;
};

}  // namespace s::gui::win
