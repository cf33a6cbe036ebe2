#pragma once

#include <atomic>
#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/layout/ComponentHost.h"
#include "platform/ui/WindowOptions.h"

namespace s::gui::win {

class Window;

// A platform window of a Window's thread besides its top-level one, hosting components of its
// own: a pop-up (a menu: not managed by the window manager, placed where asked, holding the
// pointer and the keys while it is up), a dialog (kept above its owner; a modal one holds the
// owner's input back) or the icon a notification area embeds (kTrayIcon). Its events come
// through the owner's loop, routed to it by platform window, and its components paint into its
// own back buffer; what they do not take goes to its listeners as window events with this
// window as the source (kWindowClosing for the window manager's close button). Its components
// find skin, localizer and timers in the owner (getWindow() is the owner).
//
// Its position is on the screen. Every operation runs on the owner's thread and may be called
// from any. Close it (or give it back) before its owner goes: an owner that ends first takes
// the platform window with it and leaves the object closed.
class OwnedWindow final : public Pooled<OwnedWindow, ComponentHost> {
 public:
  OwnedWindow() = default;
  ~OwnedWindow() override;

  // Makes the platform window, hidden, of the options' kind, bounds and title; an owner of 0 in
  // the options stands for the owner's platform window (a tray icon has none). False, and nothing
  // made, when it is open already, the owner has no display, or the display refuses the window (a
  // tray icon where no notification area runs).
  bool open(Window& owner, const platform::ui::WindowOptions& options);
  // Destroys the platform window; the components stay, to be shown again by another open().
  void close();
  bool isOpen() const { return owner_.load() != nullptr; }
  Window* owner() const { return owner_.load(); }
  void show(bool activate);
  void hide();
  // Shown, and not unmapped since (a tray icon is shown by its notification area).
  bool isShown() const { return shown_; }
  // From now on all pointer and key input of the owner's display comes here, the owner
  // window's included as if this window had it (x and y in this window's coordinates), until
  // releaseInput(), hiding, closing, or another grab takes it, which sends kWindowCaptureLost.
  // False when the window is not shown or another program holds the pointer (the tray host
  // that sent a click, for a moment).
  bool grabInput();
  void releaseInput();
  bool holdsInput() const { return holdsInput_; }
  // While a modal window is open its owner's input waits (a message box's).
  void setModal(bool modal);
  void addListener(WindowEvent event, events::IEventListener* listener) {
    addHostListener(event, listener);
  }
  void removeListener(WindowEvent event, events::IEventListener* listener) {
    removeHostListener(event, listener);
  }

  platform::ui::IDisplay* display() const override;
  bool isUiThread() const override;
  // False, not run, while the window is closed.
  using WindowHost::runSync;
  bool runSync(Operation op, void* block) override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_OwnedWindow"; }

 protected:
  void requestPaint() override;

 private:
  friend class Window;

  // Its events, from the owner's loop.
  void onPlatformEvent(const platform::ui::Event& event);
  // The owner window's input while this one holds it.
  void takeOwnerInput(const platform::ui::Event& event);
  // The grab has gone without being released here.
  void grabLost();
  void endGrab();
  // On the owner's thread: gives the platform window up (the owner closing it, or ending).
  void detach();
  void ownerEnding() { detach(); }

  std::atomic<Window*> owner_{nullptr};
  bool shown_ = false;
  bool holdsInput_ = false;
  bool modal_ = false;
};

}  // namespace s::gui::win
