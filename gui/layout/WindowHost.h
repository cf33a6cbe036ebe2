#pragma once

#include <cstdint>

#include "platform/ui/IUiExecutor.h"
#include "platform/ui/Rect.h"

namespace s::gui::win {

// What a component needs from the top-level window that holds it: the window's thread (runSync
// carries work there) and its back buffer. Rectangles are in the window's client coordinates.
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
};

}  // namespace s::gui::win
