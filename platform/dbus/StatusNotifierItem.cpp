#include "platform/dbus/StatusNotifierItem.h"

#include <poll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "platform/ui/IconPictures.h"

namespace s::platform::dbus {

namespace {

constexpr const char* kObjectPath = "/StatusNotifierItem";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kDbus = "org.freedesktop.DBus";
constexpr const char* kDbusPath = "/org/freedesktop/DBus";

// The sizes a notification area may draw an icon at, so that it need not scale a small one.
constexpr int kPictureSizes[] = {16, 22, 24, 32, 48};

std::atomic<int> itemsMade{0};

}  // namespace

void StatusNotifierItem::BusRelease::operator()(sd_bus* bus) const {
  // Closing drops the bus name, and with it the item from the watcher; nothing waits.
  sd_bus_close(bus);
  sd_bus_unref(bus);
}

void StatusNotifierItem::SlotRelease::operator()(sd_bus_slot* slot) const {
  sd_bus_slot_unref(slot);
}

std::unique_ptr<StatusNotifierItem> StatusNotifierItem::open(const char* busAddress,
                                                             ui::EventLoop& loop,
                                                             IListener& listener) {
  sd_bus* bus = nullptr;
  if (busAddress == nullptr) {
    if (sd_bus_open_user(&bus) < 0) {
      return nullptr;
    }
  } else if (sd_bus_new(&bus) < 0) {
    return nullptr;
  } else if (sd_bus_set_address(bus, busAddress) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
             sd_bus_start(bus) < 0) {
    sd_bus_unref(bus);
    return nullptr;
  }
  std::unique_ptr<StatusNotifierItem> item(new StatusNotifierItem(bus, loop, listener));
  if (!item->start()) {
    return nullptr;
  }
  return item;
}

StatusNotifierItem::StatusNotifierItem(sd_bus* bus, ui::EventLoop& loop, IListener& listener)
    : bus_(bus),
      loop_(loop),
      listener_(listener),
      busName_("org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" +
               std::to_string(++itemsMade)) {}

StatusNotifierItem::~StatusNotifierItem() {
  if (fd_ >= 0) {
    loop_.unwatch(fd_);
  }
}

bool StatusNotifierItem::start() {
  static const sd_bus_vtable kItemVtable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_PROPERTY("Category", "s", getProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("Id", "s", getProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("Title", "s", getProperty, 0, 0),
      SD_BUS_PROPERTY("Status", "s", getProperty, 0, 0),
      SD_BUS_PROPERTY("IconName", "s", getProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("IconPixmap", "a(iiay)", getProperty, 0, 0),
      SD_BUS_PROPERTY("ToolTip", "(sa(iiay)ss)", getProperty, 0, 0),
      SD_BUS_PROPERTY("ItemIsMenu", "b", getProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_METHOD("Activate", "ii", "", onMethod, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("SecondaryActivate", "ii", "", onMethod, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("ContextMenu", "ii", "", onMethod, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("Scroll", "is", "", onMethod, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_SIGNAL("NewTitle", "", 0),
      SD_BUS_SIGNAL("NewIcon", "", 0),
      SD_BUS_SIGNAL("NewToolTip", "", 0),
      SD_BUS_SIGNAL("NewStatus", "s", 0),
      SD_BUS_VTABLE_END};
  sd_bus_slot* slot = nullptr;
  if (sd_bus_add_object_vtable(bus_.get(), &slot, kObjectPath, kItemInterface, kItemVtable, this) <
      0) {
    return false;
  }
  object_.reset(slot);
  const std::string ownerRule = std::string("type='signal',sender='") + kDbus + "',interface='" +
                                kDbus + "',member='NameOwnerChanged',arg0='" + kWatcher + "'";
  if (sd_bus_add_match_async(bus_.get(), &slot, ownerRule.c_str(), onNameOwnerChanged, nullptr,
                             this) < 0) {
    return false;
  }
  ownerMatch_.reset(slot);
  const std::string hostRule = std::string("type='signal',interface='") + kWatcher +
                               "',member='StatusNotifierHostRegistered'";
  if (sd_bus_add_match_async(bus_.get(), &slot, hostRule.c_str(), onHostRegistered, nullptr, this) <
      0) {
    return false;
  }
  hostMatch_.reset(slot);
  // Whether a watcher runs already; the match above tells of one that starts or ends later.
  if (sd_bus_call_method_async(bus_.get(), nullptr, kDbus, kDbusPath, kDbus, "GetNameOwner",
                               onWatcherOwner, this, "s", kWatcher) < 0) {
    return false;
  }
  fd_ = sd_bus_get_fd(bus_.get());
  if (fd_ < 0 || !loop_.watch(
                     fd_, [this] { process(); }, POLLIN)) {
    fd_ = -1;
    return false;
  }
  waitForBus();
  return true;
}

void StatusNotifierItem::process() {
  int r = 0;
  while ((r = sd_bus_process(bus_.get(), nullptr)) > 0) {
  }
  if (r < 0) {
    // The bus went (the session ends): nothing more comes from it.
    loop_.unwatch(fd_);
    fd_ = -1;
    connected_ = false;
    registered_ = false;
    hostChanged();
    return;
  }
  waitForBus();
}

void StatusNotifierItem::waitForBus() {
  if (fd_ < 0) {
    return;
  }
  const int events = sd_bus_get_events(bus_.get());
  loop_.setWatchedEvents(fd_, static_cast<short>(events > 0 ? events : POLLIN));
}

void StatusNotifierItem::show(const ui::IconPixels& icon, std::string_view tip) {
  shown_ = true;
  setPictures(icon);
  tip_ = std::string(tip);
  if (!nameOwned_) {
    takeName();
  }
  waitForBus();
}

void StatusNotifierItem::update(const ui::IconPixels& icon, std::string_view tip) {
  setPictures(icon);
  const bool retitled = tip != tip_;
  tip_ = std::string(tip);
  if (registered_) {
    emit("NewIcon");
    if (retitled) {
      emit("NewTitle");
      emit("NewToolTip");
    }
  }
  waitForBus();
}

void StatusNotifierItem::hide() {
  shown_ = false;
  if (nameOwned_) {
    // The watcher sees the name go and takes the item off its list.
    sd_bus_release_name_async(bus_.get(), nullptr, busName_.c_str(), nullptr, nullptr);
    nameOwned_ = false;
  }
  registered_ = false;
  waitForBus();
}

void StatusNotifierItem::takeName() {
  if (!connected_) {
    return;
  }
  sd_bus_request_name_async(bus_.get(), nullptr, busName_.c_str(), 0, onNameTaken, this);
}

void StatusNotifierItem::registerWithWatcher() {
  if (!shown_ || !nameOwned_ || !watcherPresent_ || registered_) {
    return;
  }
  sd_bus_call_method_async(bus_.get(), nullptr, kWatcher, kWatcherPath, kWatcher,
                           "RegisterStatusNotifierItem", onRegistered, this, "s", busName_.c_str());
}

void StatusNotifierItem::askWhetherAHostIsRegistered() {
  sd_bus_call_method_async(bus_.get(), nullptr, kWatcher, kWatcherPath,
                           "org.freedesktop.DBus.Properties", "Get", onHostRegisteredValue, this,
                           "ss", kWatcher, "IsStatusNotifierHostRegistered");
}

void StatusNotifierItem::setPictures(const ui::IconPixels& icon) {
  pixmaps_.clear();
  if (icon.empty()) {
    return;
  }
  auto add = [this](const ui::IconPixels& picture) {
    Pixmap pixmap{picture.width, picture.height, {}};
    pixmap.bytes.reserve(picture.argb.size() * 4);
    for (const std::uint32_t p : picture.argb) {
      pixmap.bytes.insert(pixmap.bytes.end(),
                          {static_cast<std::uint8_t>(p >> 24), static_cast<std::uint8_t>(p >> 16),
                           static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)});
    }
    pixmaps_.push_back(std::move(pixmap));
  };
  add(icon);
  for (const int size : kPictureSizes) {
    if (size != icon.width || size != icon.height) {
      add(ui::icons::scaled(icon, size, size));
    }
  }
}

void StatusNotifierItem::emit(const char* signal) {
  sd_bus_emit_signal(bus_.get(), kObjectPath, kItemInterface, signal, nullptr);
}

void StatusNotifierItem::hostChanged() {
  later([&listener = listener_] { listener.onTrayHostChanged(); });
}

void StatusNotifierItem::later(std::function<void()> work) {
  loop_.post([alive = std::weak_ptr<bool>(alive_), work = std::move(work)] {
    if (!alive.expired()) {
      work();
    }
  });
}

int StatusNotifierItem::onNameOwnerChanged(sd_bus_message* message, void* self,
                                           sd_bus_error* /*error*/) {
  auto* item = static_cast<StatusNotifierItem*>(self);
  const char* name = nullptr;
  const char* before = nullptr;
  const char* after = nullptr;
  if (sd_bus_message_read(message, "sss", &name, &before, &after) < 0) {
    return 0;
  }
  const bool present = after != nullptr && after[0] != '\0';
  // A watcher that restarted knows nothing of the item: it is registered again.
  item->registered_ = false;
  item->hostRegistered_ = false;
  item->watcherPresent_ = present;
  if (present) {
    item->askWhetherAHostIsRegistered();
    item->registerWithWatcher();
  }
  item->hostChanged();
  item->waitForBus();
  return 0;
}

int StatusNotifierItem::onWatcherOwner(sd_bus_message* message, void* self,
                                       sd_bus_error* /*error*/) {
  auto* item = static_cast<StatusNotifierItem*>(self);
  if (sd_bus_message_is_method_error(message, nullptr) != 0 || item->watcherPresent_) {
    return 0;
  }
  item->watcherPresent_ = true;
  item->askWhetherAHostIsRegistered();
  item->registerWithWatcher();
  item->waitForBus();
  return 0;
}

int StatusNotifierItem::onHostRegistered(sd_bus_message* /*message*/, void* self,
                                         sd_bus_error* /*error*/) {
  auto* item = static_cast<StatusNotifierItem*>(self);
  if (!item->hostRegistered_) {
    item->hostRegistered_ = true;
    item->hostChanged();
  }
  return 0;
}

int StatusNotifierItem::onHostRegisteredValue(sd_bus_message* message, void* self,
                                              sd_bus_error* /*error*/) {
  auto* item = static_cast<StatusNotifierItem*>(self);
  int registered = 0;
  if (sd_bus_message_is_method_error(message, nullptr) != 0 ||
      sd_bus_message_read(message, "v", "b", &registered) < 0) {
    return 0;
  }
  if ((registered != 0) != item->hostRegistered_) {
    item->hostRegistered_ = registered != 0;
    item->hostChanged();
  }
  return 0;
}

int StatusNotifierItem::onNameTaken(sd_bus_message* message, void* self, sd_bus_error* /*error*/) {
  auto* item = static_cast<StatusNotifierItem*>(self);
  if (sd_bus_message_is_method_error(message, nullptr) != 0) {
    return 0;
  }
  if (!item->shown_) {
    // Hidden before the name came.
    sd_bus_release_name_async(item->bus_.get(), nullptr, item->busName_.c_str(), nullptr, nullptr);
    item->waitForBus();
    return 0;
  }
  item->nameOwned_ = true;
  item->registerWithWatcher();
  item->waitForBus();
  return 0;
}

int StatusNotifierItem::onRegistered(sd_bus_message* message, void* self, sd_bus_error* /*error*/) {
  auto* item = static_cast<StatusNotifierItem*>(self);
  item->registered_ = sd_bus_message_is_method_error(message, nullptr) == 0 && item->nameOwned_;
  return 0;
}

int StatusNotifierItem::onMethod(sd_bus_message* message, void* self, sd_bus_error* /*error*/) {
  auto* item = static_cast<StatusNotifierItem*>(self);
  const std::string_view member = sd_bus_message_get_member(message);
  std::int32_t x = 0;
  std::int32_t y = 0;
  if (member != "Scroll" && sd_bus_message_read(message, "ii", &x, &y) >= 0) {
    ui::TrayClick click = ui::TrayClick::kLeft;
    if (member == "ContextMenu") {
      click = ui::TrayClick::kRight;
    } else if (member == "SecondaryActivate") {
      click = ui::TrayClick::kMiddle;
    }
    // Posted: the bus is not read again while a menu opened from the click is tracked here.
    item->later([&listener = item->listener_, click, x, y] { listener.onTrayClick(click, x, y); });
  }
  return sd_bus_reply_method_return(message, "");
}

int StatusNotifierItem::getProperty(sd_bus* /*bus*/, const char* /*path*/,
                                    const char* /*interface*/, const char* property,
                                    sd_bus_message* reply, void* self, sd_bus_error* /*error*/) {
  const auto* item = static_cast<const StatusNotifierItem*>(self);
  const std::string_view name = property;
  if (name == "Category") {
    return sd_bus_message_append(reply, "s", "ApplicationStatus");
  }
  if (name == "Id") {
    return sd_bus_message_append(reply, "s", "netvigil");
  }
  if (name == "Title") {
    return sd_bus_message_append(reply, "s", item->tip_.c_str());
  }
  if (name == "Status") {
    return sd_bus_message_append(reply, "s", "Active");
  }
  if (name == "IconName") {
    return sd_bus_message_append(reply, "s", "");
  }
  if (name == "ItemIsMenu") {
    return sd_bus_message_append(reply, "b", 0);
  }
  auto appendPixmaps = [&]() {
    int r = sd_bus_message_open_container(reply, 'a', "(iiay)");
    for (const Pixmap& pixmap : item->pixmaps_) {
      if (r >= 0) {
        r = sd_bus_message_open_container(reply, 'r', "iiay");
      }
      if (r >= 0) {
        r = sd_bus_message_append(reply, "ii", pixmap.width, pixmap.height);
      }
      if (r >= 0) {
        r = sd_bus_message_append_array(reply, 'y', pixmap.bytes.data(), pixmap.bytes.size());
      }
      if (r >= 0) {
        r = sd_bus_message_close_container(reply);
      }
    }
    return r >= 0 ? sd_bus_message_close_container(reply) : r;
  };
  if (name == "IconPixmap") {
    return appendPixmaps();
  }
  // ToolTip: an icon name, pictures (none: the item's own), a title and a description.
  int r = sd_bus_message_open_container(reply, 'r', "sa(iiay)ss");
  if (r >= 0) {
    r = sd_bus_message_append(reply, "s", "");
  }
  if (r >= 0) {
    r = sd_bus_message_open_container(reply, 'a', "(iiay)");
  }
  if (r >= 0) {
    r = sd_bus_message_close_container(reply);
  }
  if (r >= 0) {
    r = sd_bus_message_append(reply, "ss", item->tip_.c_str(), "");
  }
  return r >= 0 ? sd_bus_message_close_container(reply) : r;
}

}  // namespace s::platform::dbus
