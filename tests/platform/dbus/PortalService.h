#pragma once

#include <systemd/sd-bus.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "tests/platform/dbus/BusService.h"

namespace s::platform::test {

// A FileChooser portal of the test's own on the session bus: it owns
// org.freedesktop.portal.Desktop, keeps what each SaveFile asked as "key=value" lines and
// answers with the Response it was given (or none, when `answers` is false).
class PortalService {
 public:
  PortalService(uint32_t code, std::string uri, bool answers = true)
      : code_(code), uri_(std::move(uri)), answers_(answers) {}

  PortalService(const PortalService&) = delete;
  PortalService& operator=(const PortalService&) = delete;

  bool ok() const { return service_.ok(); }
  std::vector<std::string> asked() {
    std::lock_guard<std::mutex> hold(lock_);
    return asked_;
  }

 private:
  void note(std::string line) {
    std::lock_guard<std::mutex> hold(lock_);
    asked_.push_back(std::move(line));
  }

  static std::string readFilter(sd_bus_message* m) {
    const char* name = nullptr;
    std::string text;
    sd_bus_message_enter_container(m, 'r', "sa(us)");
    sd_bus_message_read(m, "s", &name);
    text = name;
    sd_bus_message_enter_container(m, 'a', "(us)");
    uint32_t kind = 0;
    const char* pattern = nullptr;
    while (sd_bus_message_read(m, "(us)", &kind, &pattern) > 0) {
      text += " " + std::to_string(kind) + ":" + pattern;
    }
    sd_bus_message_exit_container(m);
    sd_bus_message_exit_container(m);
    return text;
  }

  static int saveFile(sd_bus_message* m, void* self, sd_bus_error* /*error*/) {
    auto* service = static_cast<PortalService*>(self);
    const char* parent = nullptr;
    const char* title = nullptr;
    sd_bus_message_read(m, "ss", &parent, &title);
    service->note(std::string("parent=") + parent);
    service->note(std::string("title=") + title);
    std::string token;
    sd_bus_message_enter_container(m, 'a', "{sv}");
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
      const char* key = nullptr;
      sd_bus_message_read(m, "s", &key);
      std::string name(key);
      const char* text = nullptr;
      if (name == "handle_token" || name == "current_name") {
        sd_bus_message_read(m, "v", "s", &text);
        if (name == "handle_token") {
          token = text;
        } else {
          service->note(name + "=" + text);
        }
      } else if (name == "current_folder") {
        const void* bytes = nullptr;
        size_t size = 0;
        sd_bus_message_enter_container(m, 'v', "ay");
        sd_bus_message_read_array(m, 'y', &bytes, &size);
        sd_bus_message_exit_container(m);
        // Shown with its terminating NUL as "\0".
        std::string folder(static_cast<const char*>(bytes), size);
        if (!folder.empty() && folder.back() == '\0') {
          folder.back() = '|';
        }
        service->note(name + "=" + folder);
      } else if (name == "filters") {
        sd_bus_message_enter_container(m, 'v', "a(sa(us))");
        sd_bus_message_enter_container(m, 'a', "(sa(us))");
        while (sd_bus_message_at_end(m, 0) == 0) {
          service->note("filter=" + readFilter(m));
        }
        sd_bus_message_exit_container(m);
        sd_bus_message_exit_container(m);
      } else if (name == "current_filter") {
        sd_bus_message_enter_container(m, 'v', "(sa(us))");
        service->note("current_filter=" + readFilter(m));
        sd_bus_message_exit_container(m);
      } else {
        sd_bus_message_skip(m, "v");
      }
      sd_bus_message_exit_container(m);
    }
    std::string sender(sd_bus_message_get_sender(m) + 1);
    for (char& c : sender) {
      c = c == '.' ? '_' : c;
    }
    std::string handle = "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
    int r = sd_bus_reply_method_return(m, "o", handle.c_str());
    if (service->answers_) {
      sd_bus_message* signal = nullptr;
      sd_bus_message_new_signal(sd_bus_message_get_bus(m), &signal, handle.c_str(),
                                "org.freedesktop.portal.Request", "Response");
      sd_bus_message_append(signal, "u", service->code_);
      const char* uris[] = {service->uri_.c_str(), nullptr};
      sd_bus_message_open_container(signal, 'a', "{sv}");
      sd_bus_message_append(signal, "{sv}", "current_filter", "s", "ignored");
      sd_bus_message_open_container(signal, 'e', "sv");
      sd_bus_message_append(signal, "s", "uris");
      sd_bus_message_open_container(signal, 'v', "as");
      sd_bus_message_append_strv(signal, const_cast<char**>(uris));
      sd_bus_message_close_container(signal);
      sd_bus_message_close_container(signal);
      sd_bus_message_close_container(signal);
      sd_bus_send(nullptr, signal, nullptr);
      sd_bus_message_unref(signal);
    }
    return r;
  }

  static int version(sd_bus* /*bus*/, const char* /*path*/, const char* /*interface*/,
                     const char* /*property*/, sd_bus_message* reply, void* /*self*/,
                     sd_bus_error* /*error*/) {
    return sd_bus_message_append(reply, "u", 3U);
  }

  static constexpr sd_bus_vtable kVtable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_METHOD("SaveFile", "ssa{sv}", "o", saveFile, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_PROPERTY("version", "u", version, 0, SD_BUS_VTABLE_PROPERTY_CONST), SD_BUS_VTABLE_END};

  uint32_t code_;
  std::string uri_;
  bool answers_;
  std::mutex lock_;
  std::vector<std::string> asked_;
  // Last: it serves until it goes, and its handlers use the members above.
  BusService service_{"org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                      "org.freedesktop.portal.FileChooser", kVtable, this};
};

}  // namespace s::platform::test
