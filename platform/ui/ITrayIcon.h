#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/ui/Event.h"

namespace s::platform::ui {

class IDisplay;

// A picture for the window manager or the notification area: 0xAARRGGBB pixels, not
// premultiplied, row by row.
struct IconPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  bool empty() const { return width <= 0 || height <= 0; }
};

enum class TrayClick : std::uint8_t { kLeft, kRight, kMiddle };

// A window's icon in the desktop's notification area, whatever protocol the desktop speaks.
// Lives on the window's thread, in its loop; nothing it does waits for another program.
class ITrayIcon {
 public:
  class IListener {
   public:
    virtual ~IListener() = default;
    // The user clicked the icon; (rootX, rootY) is the pointer on the screen.
    virtual void onTrayClick(TrayClick click, int rootX, int rootY) = 0;
    // A notification area came or went (hostAvailable() changed).
    virtual void onTrayHostChanged() {}
  };

  virtual ~ITrayIcon() = default;
  // Whether a notification area is there to take the icon now (as last heard).
  virtual bool hostAvailable() const = 0;
  // Puts the icon up with its picture and tip; a notification area that appears later takes it
  // then. updates change what a shown icon shows.
  virtual void show(const IconPixels& icon, std::string_view tip) = 0;
  virtual void update(const IconPixels& icon, std::string_view tip) = 0;
  virtual void hide() = 0;
  virtual bool isShown() const = 0;
  // Which protocol it speaks, for the messages of the program.
  virtual std::string_view protocol() const = 0;
};

// How a window gets its tray icon, chosen by the program like the display: on the window's
// thread, with that thread's display; null when there is none.
using TrayFactory = std::function<std::unique_ptr<ITrayIcon>(IDisplay& display, WindowId window,
                                                             ITrayIcon::IListener& listener)>;

}  // namespace s::platform::ui
