#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace s::platform {

// What a later start asks of the running instance, by the numbers its window knows them by.
enum class InstanceMessage : uint32_t {
  kShowYourself = 1027,  // restore from the tray or the taskbar and come to the front
  kNotify = 1031,        // the window's user notification
};

// The instance's name for a program, a user and a display: "<program>-<uid>-<display>", the
// display as DISPLAY names it, without its screen number (":0.0" is ":0").
std::string instanceName(std::string_view program, uid_t uid, std::string_view display);

// One instance per user and display. The first start holds a listening UNIX socket in the
// abstract namespace under the instance's name; a later start connects to it, hands over its
// messages and ends. An abstract socket goes with its process, so a first instance that died,
// however it died, leaves nothing behind that blocks the next start.
//
// Only the user's own processes count: a later start talks only to a listener of its user,
// and the first instance takes messages only from its user's processes. The first instance's
// loop watches fd() and calls serve(), which never waits: a caller that connects and sends
// nothing is kept aside (a few at most) until it does or goes.
class SingleInstance {
 public:
  enum class Claim {
    kFirst,         // this is the instance: watch fd()
    kOtherRunning,  // the user's running instance took the messages: end
    kUnavailable,   // neither (another user's process holds the name, or no socket): run unguarded
  };

  SingleInstance() = default;
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  Claim claim(std::string_view name, std::span<const InstanceMessage> messages);
  // Told each message a later start sent, on the thread that calls serve().
  void setHandler(std::function<void(InstanceMessage)> handler) { handler_ = std::move(handler); }
  // The first instance's descriptor for a loop to watch; -1 otherwise.
  int fd() const { return epollFd_; }
  // Serves what is ready, without waiting.
  void serve();

 private:
  void accept();
  // Reads what the caller sent; false once it is done (or refused) and may be closed.
  bool read(int client);
  void drop(int client);

  int listener_ = -1;
  int epollFd_ = -1;
  std::vector<int> callers_;
  std::function<void(InstanceMessage)> handler_;
};

}  // namespace s::platform
