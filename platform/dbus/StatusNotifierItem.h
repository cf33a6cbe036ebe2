#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/ui/ITrayIcon.h"

namespace s::platform::dbus {

// The icon as a StatusNotifierItem on the session bus: an object of ours that the desktop's
// notification area reads (its pictures, title and tip) and calls (the clicks), once the
// StatusNotifierWatcher has it registered. The bus connection is watched by the window thread's
// loop and every exchange is asynchronous, so nothing waits for another program.
//
// Hidden, the item gives up its bus name, which takes it off the watcher's list; a watcher that
// starts later (a panel restarting) is given the item again. Clicks reach the listener on the
// loop's thread, as posted work (a menu opened from them runs its own loop).
class StatusNotifierItem final : public ui::ITrayIcon {
 public:
  // `busAddress` nullptr: the user's session bus. nullptr when no bus can be reached.
  static std::unique_ptr<StatusNotifierItem> open(const char* busAddress, ui::EventLoop& loop,
                                                  IListener& listener);
  ~StatusNotifierItem() override;
  StatusNotifierItem(const StatusNotifierItem&) = delete;
  StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

  // A watcher runs and a notification area has told it that it shows items.
  bool hostAvailable() const override { return watcherPresent_ && hostRegistered_ && connected_; }
  void show(const ui::IconPixels& icon, std::string_view tip) override;
  void update(const ui::IconPixels& icon, std::string_view tip) override;
  void hide() override;
  bool isShown() const override { return shown_; }
  std::string_view protocol() const override { return "StatusNotifierItem"; }

  // The bus name the item goes by ("org.kde.StatusNotifierItem-<pid>-<n>"), and whether the
  // watcher has accepted it.
  const std::string& busName() const { return busName_; }
  bool isRegistered() const { return registered_; }

 private:
  struct BusRelease {
    void operator()(sd_bus* bus) const;
  };
  struct SlotRelease {
    void operator()(sd_bus_slot* slot) const;
  };
  using Slot = std::unique_ptr<sd_bus_slot, SlotRelease>;

  StatusNotifierItem(sd_bus* bus, ui::EventLoop& loop, IListener& listener);
  bool start();
  // Reads and writes what the connection has ready, then waits for what it needs next.
  void process();
  void waitForBus();
  void takeName();
  void registerWithWatcher();
  void askWhetherAHostIsRegistered();
  void setPictures(const ui::IconPixels& icon);
  void emit(const char* signal);
  void hostChanged();
  void later(std::function<void()> work);

  static int onNameOwnerChanged(sd_bus_message* message, void* self, sd_bus_error* error);
  static int onWatcherOwner(sd_bus_message* message, void* self, sd_bus_error* error);
  static int onHostRegistered(sd_bus_message* message, void* self, sd_bus_error* error);
  static int onHostRegisteredValue(sd_bus_message* message, void* self, sd_bus_error* error);
  static int onNameTaken(sd_bus_message* message, void* self, sd_bus_error* error);
  static int onRegistered(sd_bus_message* message, void* self, sd_bus_error* error);
  static int onMethod(sd_bus_message* message, void* self, sd_bus_error* error);
  static int getProperty(sd_bus* bus, const char* path, const char* interface, const char* property,
                         sd_bus_message* reply, void* self, sd_bus_error* error);

  // A picture as the bus carries it: ARGB32 in network byte order.
  struct Pixmap {
    int width;
    int height;
    std::vector<std::uint8_t> bytes;
  };

  std::unique_ptr<sd_bus, BusRelease> bus_;
  ui::EventLoop& loop_;
  IListener& listener_;
  int fd_ = -1;
  std::string busName_;
  Slot object_;
  Slot ownerMatch_;
  Slot hostMatch_;
  bool connected_ = true;
  bool watcherPresent_ = false;
  bool hostRegistered_ = false;
  bool shown_ = false;
  bool nameOwned_ = false;
  bool registered_ = false;
  std::vector<Pixmap> pixmaps_;
  std::string tip_;
  // Work posted by this item holds a weak copy: it does nothing once the item is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace s::platform::dbus
