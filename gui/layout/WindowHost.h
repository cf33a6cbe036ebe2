#pragma once

#include <cstdint>

#include "platform/ui/IUiExecutor.h"
#include "platform/ui/Rect.h"

namespace s::gui::win {

// What a component needs from the platform window that holds it (the top-level window, a
// pop-up, a dialog): that window's thread (runSync carries work there), its back buffer, and
// its input: the keyboard focus and the pointer capture. Rectangles are in the window's client
// coordinates.
class Component;

class WindowHost : public platform::ui::IUiExecutor {
 public:
  virtual bool isUiThread() const = 0;
  // The area needs painting; painted once the current round of the loop is done.
  virtual void invalidate(const platform::ui::Rect& area) = 0;
  // Paints the area now and shows it.
  virtual void paintNow(const platform::ui::Rect& area) = 0;
  // The component with the keyboard focus (null for none), and moving it (null: to none).
  virtual Component* focusedComponent() const = 0;
  virtual void focusComponent(Component* component) = 0;
  // Whether the focus is drawn: only once the keyboard has moved it.
  virtual bool focusCuesShown() const = 0;
  // Pointer capture: all pointer input, the window's leaving included, goes to the component
  // until it releases it (a component that goes releases it too).
  virtual void setCapture(Component* component) = 0;
  virtual void releaseCapture(const Component* component) = 0;
  virtual Component* getCapture() const = 0;
};

}  // namespace s::gui::win
