#include "platform/dbus/FileChooserPortal.h"

#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string_view>

#include "platform/dbus/FileUri.h"
#include "platform/dbus/SessionBus.h"

namespace s::platform {

namespace {

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kFileChooser = "org.freedesktop.portal.FileChooser";
constexpr auto kCallBound = std::chrono::seconds(25);
// How often a wait for the user looks at `abandon`.
constexpr uint64_t kAbandonPollUsec = 100000;
// The portal's answer codes.
constexpr uint32_t kResponseSuccess = 0;

// The Response of one request, filled by its signal.
struct Response {
  bool arrived = false;
  uint32_t code = 2;
  std::string uri;
};

// Reads the results dictionary, keeping the first of "uris".
int readResults(sd_bus_message* message, Response& response) {
  int r = sd_bus_message_enter_container(message, 'a', "{sv}");
  if (r < 0) {
    return r;
  }
  while ((r = sd_bus_message_enter_container(message, 'e', "sv")) > 0) {
    const char* key = nullptr;
    if ((r = sd_bus_message_read(message, "s", &key)) < 0) {
      return r;
    }
    if (std::string_view(key) == "uris") {
      char** uris = nullptr;
      if ((r = sd_bus_message_enter_container(message, 'v', "as")) < 0 ||
          (r = sd_bus_message_read_strv(message, &uris)) < 0) {
        return r;
      }
      if (uris != nullptr && uris[0] != nullptr) {
        response.uri = uris[0];
      }
      for (char** uri = uris; uri != nullptr && *uri != nullptr; ++uri) {
        std::free(*uri);
      }
      std::free(static_cast<void*>(uris));
      if ((r = sd_bus_message_exit_container(message)) < 0) {
        return r;
      }
    } else if ((r = sd_bus_message_skip(message, "v")) < 0) {
      return r;
    }
    if ((r = sd_bus_message_exit_container(message)) < 0) {
      return r;
    }
  }
  return r < 0 ? r : sd_bus_message_exit_container(message);
}

int onResponse(sd_bus_message* message, void* userdata, sd_bus_error* /*error*/) {
  auto& response = *static_cast<Response*>(userdata);
  uint32_t code = 2;
  if (sd_bus_message_read(message, "u", &code) < 0) {
    return 0;
  }
  response.code = code;
  if (code == kResponseSuccess && readResults(message, response) < 0) {
    response.uri.clear();
  }
  response.arrived = true;
  return 0;
}

// The object path the portal gives the request of `token` from this connection.
std::string requestPath(sd_bus* bus, const std::string& token) {
  const char* unique = nullptr;
  if (sd_bus_get_unique_name(bus, &unique) < 0 || unique == nullptr) {
    return {};
  }
  std::string sender(unique[0] == ':' ? unique + 1 : unique);
  for (char& c : sender) {
    if (c == '.') {
      c = '_';
    }
  }
  return std::string(kPortalPath) + "/request/" + sender + "/" + token;
}

int appendFilter(sd_bus_message* call, const ui::FileChooserRequest::Filter& filter) {
  int r = sd_bus_message_open_container(call, 'r', "sa(us)");
  if (r < 0 || (r = sd_bus_message_append(call, "s", filter.name.c_str())) < 0 ||
      (r = sd_bus_message_open_container(call, 'a', "(us)")) < 0) {
    return r;
  }
  for (const std::string& glob : filter.globs) {
    // 0: a glob pattern, not a MIME type.
    if ((r = sd_bus_message_append(call, "(us)", 0U, glob.c_str())) < 0) {
      return r;
    }
  }
  if ((r = sd_bus_message_close_container(call)) < 0) {
    return r;
  }
  return sd_bus_message_close_container(call);
}

int appendOptions(sd_bus_message* call, const ui::FileChooserRequest& request,
                  const std::string& token) {
  int r = sd_bus_message_open_container(call, 'a', "{sv}");
  if (r < 0 || (r = sd_bus_message_append(call, "{sv}", "handle_token", "s", token.c_str())) < 0 ||
      (r = sd_bus_message_append(call, "{sv}", "modal", "b", 1)) < 0) {
    return r;
  }
  if (!request.fileName.empty() && (r = sd_bus_message_append(call, "{sv}", "current_name", "s",
                                                              request.fileName.c_str())) < 0) {
    return r;
  }
  if (!request.initialFolder.empty()) {
    // A byte string with its terminating NUL, as the portal takes paths.
    if ((r = sd_bus_message_open_container(call, 'e', "sv")) < 0 ||
        (r = sd_bus_message_append(call, "s", "current_folder")) < 0 ||
        (r = sd_bus_message_open_container(call, 'v', "ay")) < 0 ||
        (r = sd_bus_message_append_array(call, 'y', request.initialFolder.c_str(),
                                         request.initialFolder.size() + 1)) < 0 ||
        (r = sd_bus_message_close_container(call)) < 0 ||
        (r = sd_bus_message_close_container(call)) < 0) {
      return r;
    }
  }
  if (!request.filters.empty()) {
    if ((r = sd_bus_message_open_container(call, 'e', "sv")) < 0 ||
        (r = sd_bus_message_append(call, "s", "filters")) < 0 ||
        (r = sd_bus_message_open_container(call, 'v', "a(sa(us))")) < 0 ||
        (r = sd_bus_message_open_container(call, 'a', "(sa(us))")) < 0) {
      return r;
    }
    for (const ui::FileChooserRequest::Filter& filter : request.filters) {
      if ((r = appendFilter(call, filter)) < 0) {
        return r;
      }
    }
    if ((r = sd_bus_message_close_container(call)) < 0 ||
        (r = sd_bus_message_close_container(call)) < 0 ||
        (r = sd_bus_message_close_container(call)) < 0) {
      return r;
    }
    if ((r = sd_bus_message_open_container(call, 'e', "sv")) < 0 ||
        (r = sd_bus_message_append(call, "s", "current_filter")) < 0 ||
        (r = sd_bus_message_open_container(call, 'v', "(sa(us))")) < 0 ||
        (r = appendFilter(call, request.filters.front())) < 0 ||
        (r = sd_bus_message_close_container(call)) < 0 ||
        (r = sd_bus_message_close_container(call)) < 0) {
      return r;
    }
  }
  return sd_bus_message_close_container(call);
}

struct SlotUnref {
  void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
};

}  // namespace

uint32_t fileChooserPortalVersion(const SessionBus& bus) {
  if (!bus.connected()) {
    return 0;
  }
  sd_bus_error error = SD_BUS_ERROR_NULL;
  uint32_t version = 0;
  if (sd_bus_get_property_trivial(bus.get(), kPortal, kPortalPath, kFileChooser, "version", &error,
                                  'u', &version) < 0) {
    version = 0;
  }
  sd_bus_error_free(&error);
  return version;
}

ui::FileChoice saveFileThroughPortal(const ui::FileChooserRequest& request,
                                     const std::atomic<bool>* abandon) {
  ui::FileChoice answer;
  SessionBus bus;
  if (!bus.connected()) {
    return answer;
  }
  static std::atomic<uint32_t> counter{0};
  std::string token = "netvigil" + std::to_string(getpid()) + "_" + std::to_string(++counter);
  // Listen before asking: the answer may come before the call's reply.
  Response response;
  sd_bus_slot* slot = nullptr;
  // Any sender: the path is this connection's own, and the portal's unique name is not known yet.
  if (sd_bus_match_signal(bus.get(), &slot, nullptr, requestPath(bus.get(), token).c_str(),
                          "org.freedesktop.portal.Request", "Response", onResponse,
                          &response) < 0) {
    return answer;
  }
  std::unique_ptr<sd_bus_slot, SlotUnref> expected(slot);

  sd_bus_message* call = nullptr;
  if (sd_bus_message_new_method_call(bus.get(), &call, kPortal, kPortalPath, kFileChooser,
                                     "SaveFile") < 0) {
    return answer;
  }
  BusMessagePtr owned(call);
  if (sd_bus_message_append(call, "ss", request.parentWindow.c_str(), request.title.c_str()) < 0 ||
      appendOptions(call, request, token) < 0) {
    return answer;
  }
  BusMessagePtr reply = bus.call(call, kCallBound);
  const char* handle = nullptr;
  if (!reply || sd_bus_message_read(reply.get(), "o", &handle) < 0) {
    return answer;
  }
  std::unique_ptr<sd_bus_slot, SlotUnref> given;
  if (requestPath(bus.get(), token) != handle) {
    // An older portal names the request its own way.
    slot = nullptr;
    if (sd_bus_match_signal(bus.get(), &slot, nullptr, handle, "org.freedesktop.portal.Request",
                            "Response", onResponse, &response) < 0) {
      return answer;
    }
    given.reset(slot);
  }
  while (!response.arrived) {
    if (abandon != nullptr && abandon->load()) {
      sd_bus_call_method(bus.get(), kPortal, handle, "org.freedesktop.portal.Request", "Close",
                         nullptr, nullptr, "");
      answer.outcome = ui::FileChoice::Outcome::kCancelled;
      return answer;
    }
    int r = sd_bus_process(bus.get(), nullptr);
    if (r < 0) {
      return answer;
    }
    if (r == 0 && sd_bus_wait(bus.get(), kAbandonPollUsec) < 0) {
      return answer;
    }
  }
  answer.path = pathOfFileUri(response.uri);
  answer.outcome = response.code == kResponseSuccess && !answer.path.empty()
                       ? ui::FileChoice::Outcome::kChosen
                       : ui::FileChoice::Outcome::kCancelled;
  return answer;
}

}  // namespace s::platform
