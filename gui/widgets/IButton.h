#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IButton.h"
#include "gui/layout/IComponent.h"

namespace s::gui {

// How a button toggles: setToggle({.toggle = true, .releasable = false}) makes one of a group
// that only another press releases.
struct ToggleOptions {
  bool toggle = true;       // a press toggles it (kEventToggled) instead of only clicking
  bool releasable = true;   // a second press releases it
  bool invertLook = false;  // looks pressed while released
  bool drawFlag2 = false;   // the drawer's second flag
};

// A push button: clicks, toggles and presses (repeated while held when auto-repeat is on).
class IButton : public virtual IComponent {
 public:
  enum ButtonEvent : std::int32_t {
    kEventClick = 1,
    kEventToggled = 2,
    kEventPress = 3,
  };

  virtual void setText(std::u16string_view text) = 0;
  virtual void setTextId(std::int32_t id) = 0;
  virtual std::int32_t getTextId() const = 0;
  virtual void setSizeCode(std::int32_t code) = 0;
  virtual void setFace(std::u16string_view name) = 0;
  virtual void setColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) = 0;
  virtual void setPointSize(std::int32_t points) = 0;
  virtual void setFontHeight(std::int32_t height) = 0;
  virtual void setBold(bool bold) = 0;
  virtual void setItalic(bool italic) = 0;
  virtual void setUnderline(bool underline) = 0;
  virtual void setWidthPercent(std::int32_t percent) = 0;
  virtual void setHeightPercent(std::int32_t percent) = 0;
  virtual void setFixedWidth(std::int32_t px) = 0;
  virtual void setFixedHeight(std::int32_t px) = 0;
  virtual void addClickListener(events::IEventListener* listener) = 0;
  virtual void addToggledListener(events::IEventListener* listener) = 0;
  virtual void addPressListener(events::IEventListener* listener) = 0;
  virtual void setAutoRepeat(bool autoRepeat) = 0;
  virtual void setDrawer(drawer::IButton* drawer, bool owned) = 0;
  virtual void setDrawFlag(bool drawFlag) = 0;
  virtual void setToggle(const ToggleOptions& options) = 0;
  // The same in the order of the options.
  virtual void setToggle(bool toggle, bool releasable, bool invertLook, bool drawFlag2) = 0;
  virtual bool isReleasable() const = 0;
  virtual bool isPressed() const = 0;
  virtual void setPressed(bool pressed) = 0;
  virtual void makeDefault() = 0;
  virtual void clearDefault() = 0;
  virtual bool isDefault() const = 0;
  virtual void setClickable(bool clickable) = 0;
  virtual void setColourSwatch(std::uint8_t red, std::uint8_t green, std::uint8_t blue) = 0;
};

}  // namespace s::gui
