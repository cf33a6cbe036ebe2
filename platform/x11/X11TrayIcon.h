#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/EventLoop.h"
#include "platform/ui/ITrayIcon.h"
#include "platform/ui/IconPictures.h"
#include "platform/x11/X11TrayTip.h"

struct _XDisplay;
union _XEvent;

namespace s::platform::x11 {

// The freedesktop system tray (XEmbed): the icon is a small X window of ours that the screen's
// notification area (the owner of the selection _NET_SYSTEM_TRAY_S<screen>) embeds on request.
// It has a connection of its own to the X server, watched by the window thread's loop, so its
// events never pass through a window's. A notification area that starts later announces itself
// with a MANAGER message on the root window, and the icon docks there; one that ends takes
// nothing with it: the icon docks again in the next.
//
// The icon is painted with the window's icon, scaled to the size the area gives it, with the
// visual the area asks for (_NET_SYSTEM_TRAY_VISUAL, usually one with alpha); its tip is the
// icon window's _NET_WM_NAME, and shown by the icon itself when the pointer rests on it. Clicks
// reach the listener on the loop's thread, as posted work (a menu opened from them runs its own
// loop).
class X11TrayIcon final : public ui::ITrayIcon {
 public:
  // nullptr when the X server cannot be reached. `name` nullptr: the DISPLAY variable.
  static std::unique_ptr<X11TrayIcon> open(const char* name, ui::EventLoop& loop,
                                           IListener& listener);
  ~X11TrayIcon() override;
  X11TrayIcon(const X11TrayIcon&) = delete;
  X11TrayIcon& operator=(const X11TrayIcon&) = delete;

  bool hostAvailable() const override { return manager_ != 0; }
  void show(const ui::IconPixels& icon, std::string_view tip) override;
  void update(const ui::IconPixels& icon, std::string_view tip) override;
  void hide() override;
  bool isShown() const override { return shown_; }
  std::string_view protocol() const override { return "XEmbed system tray"; }

  // The icon's X window while it exists (0 otherwise), and whether the area has embedded it.
  unsigned long iconWindow() const { return icon_; }
  // The tip's window while it is shown (the pointer rests on the icon), else 0.
  unsigned long tipWindow() const { return tipWindow_.window(); }
  bool isDocked() const { return docked_; }

 private:
  X11TrayIcon(_XDisplay* display, ui::EventLoop& loop, IListener& listener);
  // Handles every event Xlib has read, the ones a round trip queued included.
  void pump();
  // Xlib's exit handler after an I/O error: the server is gone, and Xlib is not called again.
  static void connectionBroke(_XDisplay* display, void* self);
  void handle(_XEvent& event);
  void findManager();
  void dock();
  void destroyIcon();
  void writeTip();
  void paint();
  // Runs `work` on the loop later, unless this icon has gone by then.
  void later(std::function<void()> work);

  struct Atoms {
    unsigned long manager;
    unsigned long opcode;
    unsigned long visual;
    unsigned long embedInfo;
    unsigned long name;
    unsigned long utf8;
  };

  _XDisplay* display_;
  ui::EventLoop& loop_;
  IListener& listener_;
  int screen_;
  unsigned long root_;
  unsigned long selection_;
  Atoms atoms_;
  unsigned long manager_ = 0;
  unsigned long icon_ = 0;
  unsigned long colormap_ = 0;
  // The visual and depth the icon window was made with (the default ones or the area's).
  void* visual_ = nullptr;
  int depth_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool shown_ = false;
  bool lost_ = false;
  bool docked_ = false;
  ui::icons::Surface picture_;
  // cairo's device for this connection, once it has drawn on it.
  cairo_device_t* cairo_ = nullptr;
  std::string tip_;
  X11TrayTip tipWindow_;
  // Work posted by this icon holds a weak copy: it does nothing once the icon is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace s::platform::x11
