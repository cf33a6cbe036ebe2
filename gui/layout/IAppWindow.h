#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/ITrayIcon.h"

namespace s::lang {
class Localizer;
}
namespace s::gui::drawer {
class Skinner;
}

namespace s::app {

// What a middle click in the window does.
enum class MiddleClick : std::uint8_t { kClose, kIconize, kDoNothing };
// "Close", "Iconize", "DoNothing"; any other text is DoNothing.
std::u16string_view middleClickText(MiddleClick action);
MiddleClick middleClickFrom(std::u16string_view text);

// The persistent side of a top-level window: its settings section ("MainWindow") in the
// program's settings, with a presence test, a getter with the default and a setter for each
// value, and what the window takes from the application (texts, icon, skins).
class IAppWindow {
 public:
  virtual ~IAppWindow() = default;

  virtual std::u16string_view getWindowName() const = 0;
  virtual std::int32_t getTitleTextId() const = 0;
  virtual lang::Localizer* getLocalizer() const = 0;
  virtual const platform::ui::IconPixels& getIcon() const = 0;
  // Where the skins are found; null for none.
  virtual gui::drawer::Skinner* getSkinStore() const = 0;

  virtual bool hasX() const = 0;
  virtual std::int32_t getX() const = 0;
  virtual void setX(std::int32_t x) = 0;
  virtual bool hasY() const = 0;
  virtual std::int32_t getY() const = 0;
  virtual void setY(std::int32_t y) = 0;
  // The size the window takes where none (or none usable) is stored.
  virtual std::int32_t getDefaultWidth() const = 0;
  virtual std::int32_t getDefaultHeight() const = 0;
  virtual bool hasWidth() const = 0;
  virtual std::int32_t getWidth() const = 0;
  virtual void setWidth(std::int32_t width) = 0;
  virtual bool hasHeight() const = 0;
  virtual std::int32_t getHeight() const = 0;
  virtual void setHeight(std::int32_t height) = 0;
  virtual bool hasEasyDrag() const = 0;
  virtual bool getEasyDrag() const = 0;
  virtual void setEasyDrag(bool on) = 0;
  virtual bool hasMaximized() const = 0;
  virtual bool getMaximized() const = 0;
  virtual void setMaximized(bool on) = 0;
  virtual bool hasKeepOnTop() const = 0;
  virtual bool getKeepOnTop() const = 0;
  virtual void setKeepOnTop(bool on) = 0;
  virtual bool hasMiddleClick() const = 0;
  virtual MiddleClick getMiddleClickAction() const = 0;
  virtual void setMiddleClickAction(MiddleClick action) = 0;
  virtual bool hasSkin() const = 0;
  virtual std::u16string getSkin() const = 0;
  // The skin that applies when none is stored or the stored one is unknown; empty for none.
  virtual std::u16string_view getDefaultSkin() const = 0;
  virtual void setSkin(std::u16string_view name) = 0;

  // Both "X" and "Y" stored.
  virtual bool hasPosition() const = 0;
  virtual void setBounds(std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height) = 0;
  virtual void setSize(std::int32_t width, std::int32_t height) = 0;
  // Removes "X", "Y", "Width" and "Height".
  virtual void clearBounds() = 0;
  // The stored size is used only within [10, the virtual screen's size].
  virtual bool isWidthUsable(std::int32_t screenWidth) const = 0;
  virtual bool isHeightUsable(std::int32_t screenHeight) const = 0;
  bool isMiddleClickClose() const { return getMiddleClickAction() == MiddleClick::kClose; }
  bool isMiddleClickIconize() const { return getMiddleClickAction() == MiddleClick::kIconize; }
};

}  // namespace s::app
