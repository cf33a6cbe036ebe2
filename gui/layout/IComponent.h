#pragma once

#include <cstdint>

#include "framework/base/IEventListener.h"
#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"

namespace s::col::array {
template <class T>
class ArrayP;
}

namespace s::gui {

class IContainer;
class IWindow;

// A background colour; transparent components paint nothing of their own.
struct Background {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool transparent = false;
};

// A screen rectangle.
struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A node of the user-interface tree. Its "platform window" is its rectangle in the top-level
// window: created when the component joins a tree whose window exists, moved and repainted on
// that window's thread. Operations called from other threads are carried there and waited for.
class IComponent : public events::IEventListener, public IObject, public IPoolable {
 public:
  virtual std::int32_t getX() const = 0;
  virtual void setX(std::int32_t x) = 0;
  virtual std::int32_t getY() const = 0;
  virtual void setY(std::int32_t y) = 0;
  virtual std::int32_t getScreenX() const = 0;
  virtual std::int32_t getScreenY() const = 0;
  virtual bool containsScreenPoint(std::int32_t x, std::int32_t y) const = 0;
  virtual std::int32_t getWidth() const = 0;
  virtual void setWidth(std::int32_t width) = 0;
  virtual std::int32_t getHeight() const = 0;
  virtual void setHeight(std::int32_t height) = 0;
  virtual std::int32_t getInnerWidth() const = 0;
  virtual void setInnerWidth(std::int32_t width) = 0;
  virtual std::int32_t getInnerHeight() const = 0;
  virtual void setInnerHeight(std::int32_t height) = 0;
  virtual void setPosition(std::int32_t x, std::int32_t y) = 0;
  virtual void setSize(std::int32_t width, std::int32_t height) = 0;
  virtual void setBounds(std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height) = 0;
  virtual void setOrigin(std::int32_t originX, std::int32_t originY) = 0;
  virtual void moveOrigin(std::int32_t dx, std::int32_t dy) = 0;
  virtual std::int32_t getMinWidth() const = 0;
  virtual std::int32_t getMinHeight() const = 0;
  virtual std::int32_t getMinInnerWidth() const = 0;
  virtual std::int32_t getMinInnerHeight() const = 0;
  virtual std::int32_t getMaxWidth() const = 0;
  virtual std::int32_t getMaxHeight() const = 0;
  virtual std::int32_t getMaxInnerWidth() const = 0;
  virtual std::int32_t getMaxInnerHeight() const = 0;
  virtual bool isVisible() const = 0;
  virtual void setVisible(bool show, bool recurse) = 0;
  virtual bool isEnabled() const = 0;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool hasFocus() const = 0;
  virtual void setFocus() = 0;
  virtual void centerInParent() = 0;
  virtual void centerHorizontally() = 0;
  virtual void centerVertically() = 0;
  virtual Background getBackground() const = 0;
  virtual bool isTransparent() const = 0;
  virtual void setTransparent(bool redraw) = 0;
  virtual void setBackgroundWhite(bool redraw) = 0;
  virtual void setBackgroundSystem(bool redraw) = 0;
  virtual void setBackgroundBlack(bool redraw) = 0;
  virtual void setBackgroundLight(bool redraw) = 0;
  virtual void setBackground(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                             bool redraw) = 0;
  virtual IWindow* getWindow() const = 0;
  virtual IContainer* getParent() const = 0;
  virtual void setParent(IContainer* container) = 0;
  virtual void add(IComponent* child) = 0;
  virtual void remove(IComponent* child, bool recurse) = 0;
  virtual void removeAll(bool recurse) = 0;
  virtual bool isContainer() const = 0;
  virtual void repaint(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) = 0;
  virtual void repaint() = 0;
  virtual void setSizeClamped(std::int32_t width, std::int32_t height) = 0;
  virtual void relayout() = 0;
  virtual std::uint32_t childCount() const = 0;
  virtual IComponent* getChild(std::uint32_t i) const = 0;
  virtual const col::array::ArrayP<IComponent>* getChildren() const = 0;
  virtual ScreenRect getScreenRect() const = 0;
  virtual bool isDeferred() const = 0;
  virtual void beginDeferred() = 0;
  virtual void endDeferred() = 0;
};

}  // namespace s::gui
