// A program that claims an instance name as the window program does, for the tests of two
// real processes: instance_probe <name> [<messages to wait for>]. It prints "first", "other"
// or "unavailable"; the first instance then prints "message <number>" for each message a later
// start sends and ends after the given count (default 2), or when its standard input closes.
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/instance/SingleInstance.h"

int main(int argc, char** argv) {
  using s::platform::InstanceMessage;
  using s::platform::SingleInstance;
  if (argc < 2) {
    std::fprintf(stderr, "usage: instance_probe <name> [<messages>]\n");
    return 2;
  }
  const int wanted = argc > 2 ? std::atoi(argv[2]) : 2;
  const std::array<InstanceMessage, 2> messages = {InstanceMessage::kShowYourself,
                                                   InstanceMessage::kNotify};
  SingleInstance instance;
  switch (instance.claim(argv[1], messages)) {
    case SingleInstance::Claim::kOtherRunning:
      std::puts("other");
      return 0;
    case SingleInstance::Claim::kUnavailable:
      std::puts("unavailable");
      return 3;
    case SingleInstance::Claim::kFirst:
      break;
  }
  std::puts("first");
  std::fflush(stdout);
  int received = 0;
  instance.setHandler([&received](InstanceMessage message) {
    std::printf("message %u\n", static_cast<unsigned>(message));
    std::fflush(stdout);
    ++received;
  });
  while (received < wanted) {
    pollfd fds[2] = {{instance.fd(), POLLIN, 0}, {0, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      return 1;
    }
    if ((fds[1].revents & (POLLIN | POLLHUP)) != 0) {
      char byte = 0;
      if (read(0, &byte, 1) <= 0) {
        return 0;
      }
    }
    if ((fds[0].revents & POLLIN) != 0) {
      instance.serve();
    }
  }
  return 0;
}
