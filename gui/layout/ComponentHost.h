#pragma once

#include <cairo.h>

#include <array>
#include <cstdint>
#include <optional>

#include "gui/layout/BoxBase.h"
#include "gui/layout/IWindow.h"
#include "gui/layout/ListenerList.h"
#include "gui/layout/WindowHost.h"
#include "platform/ui/Event.h"
#include "platform/ui/IDisplay.h"
#include "platform/ui/PointerShape.h"

namespace s::gui::win {

// A platform window that hosts a tree of components, this box being the tree's root: the tree
// is painted into the window's back buffer once per round of the loop, and the window's input
// is routed to the components (pointer capture, the keyboard focus and Tab, the pointer's
// shape). What no component takes goes to the host's listeners as window events
// (kWindowLeftPress, kWindowKey, kWindowCaptureLost, ...), lastInput() telling the details.
//
// The box's position is the platform window's on the screen, its size the window's. Window is
// a host (the top-level window, with its thread); OwnedWindow is the other kind (pop-ups,
// dialogs and the tray icon of a window's thread).
class ComponentHost : public BoxBase, public WindowHost {
 public:
  // The display of the thread the host lives on; null when there is none.
  virtual platform::ui::IDisplay* display() const = 0;
  platform::ui::WindowId platformWindow() const { return platformWindow_; }
  // The input event being reported (the press and release events, kWindowKey,
  // kWindowMouseMoved, kWindowWheel, kWindowDoubleClick).
  const platform::ui::Event& lastInput() const { return lastInput_; }
  // Whether the left press being handled is the second of a double click (components that
  // take presses tell double clicks by the host's rule).
  bool isDoubleClick() const { return doubleClick_; }

  // Gathers the area into the damage that paintDamage() paints, asking for it once per round.
  void invalidate(const platform::ui::Rect& area) override;
  void paintNow(const platform::ui::Rect& area) override;
  // Paints what was invalidated since the last time, on the host's thread.
  void paintDamage();
  // A click focuses the focusable component under it; Tab and Shift+Tab move the focus among
  // the focusable components in tree order. Keys go to the focused component, then up its
  // parents, then to the key listeners (kWindowKey).
  Component* focusedComponent() const override { return focus_; }
  void focusComponent(Component* component) override;
  bool focusCuesShown() const override { return focusCues_; }
  // Separately from the capture, a press holds the pointer until its release; when a pop-up's
  // grab, the window losing the focus or the window being hidden ends that first, the host
  // sends kWindowCaptureLost once and the component holding the capture is told (captureLost).
  void setCapture(Component* component) override { capture_ = component; }
  void releaseCapture(const Component* component) override;
  Component* getCapture() const override { return capture_; }

 protected:
  // The events every host handles alike: input, the focus coming and going, the grab's loss,
  // being unmapped. False for the others, which are the host's own.
  bool handleHostEvent(const platform::ui::Event& event);
  void fire(WindowEvent event);
  // What a host adds to the routing, for the frame it draws itself and the input no component
  // takes. The pointer's shape over the frame's edges (none by default):
  virtual std::optional<platform::ui::PointerShape> frameCursorAt(std::int32_t /*x*/,
                                                                  std::int32_t /*y*/) const {
    return std::nullopt;
  }
  // A press the host takes before the components (a drag of the frame's edges).
  virtual bool handleFramePress(const platform::ui::Event& /*event*/) { return false; }
  // A press no component took, after its listeners were told.
  virtual void unclaimedPress(WindowEvent /*told*/, const platform::ui::Event& /*event*/) {}
  // A key no component took; true when the host used it instead of telling kWindowKey.
  virtual bool unclaimedKey(const platform::ui::Event& /*event*/) { return false; }
  // Has paintDamage() called once the current round of the loop is done.
  virtual void requestPaint() = 0;
  void addHostListener(WindowEvent event, events::IEventListener* listener);
  void removeHostListener(WindowEvent event, events::IEventListener* listener);
  // Sends the press's capture loss if a press held the pointer; answers whether it did.
  bool loseCapture();
  // Moves and sizes the platform window to the stored bounds, laying out and repainting when
  // the size changed.
  void applyBounds() override;
  // Takes the position and size the platform reported (kConfigure) without sending them back.
  struct BoundsChange {
    bool moved = false;
    bool sized = false;
  };
  BoundsChange changeOf(const platform::ui::Event& configure) const;
  void takePlatformBounds(const platform::ui::Event& configure);
  // The platform window is made (or gone): what the host remembers of it starts afresh.
  void attachPlatformWindow(platform::ui::WindowId window, const platform::ui::Rect& bounds);
  void clearHostState();

  platform::ui::WindowId platformWindow_ = 0;
  platform::ui::Event lastInput_;

 private:
  void paintTree(cairo_t* cr, Component& component, std::int32_t x, std::int32_t y);
  void handleButton(const platform::ui::Event& event);
  // True when a component used the input; a component that does not passes it to its parent.
  bool routeInput(const platform::ui::Event& event);
  bool routeKey(const platform::ui::Event& event);
  // Shows the shape the component under the pointer (or the one holding the capture) names.
  void updateCursor(const platform::ui::Event& event);
  bool moveFocus(bool backwards);

  std::array<events::ListenerList, kWindowEventCount> listeners_;
  // The platform window's bounds as last applied or reported.
  platform::ui::Rect applied_;
  bool fromPlatform_ = false;
  platform::ui::Rect damage_;
  Component* capture_ = nullptr;
  Component* focus_ = nullptr;
  std::uint32_t heldButtons_ = 0;
  platform::ui::PointerShape shownCursor_ = platform::ui::PointerShape::kArrow;
  bool focusCues_ = false;
  bool doubleClick_ = false;
  std::uint64_t lastLeftPressMs_ = 0;
  std::int32_t lastLeftPressX_ = 0;
  std::int32_t lastLeftPressY_ = 0;
};

}  // namespace s::gui::win
