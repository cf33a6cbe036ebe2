#pragma once

#include <cstdint>
#include <vector>

#include "platform/linux/SocketOwners.h"
#include "platform/linux/SocketRow.h"
#include "platform/linux/rights/RightsMessages.h"
#include "platform/linux/rights/UniqueFd.h"

namespace s::platform {

// The helper's side of the channel: it checks each request and does what it asks with the one
// right it needs raised for that moment. It never reads a packet, a file's contents or a name.
class RightsService {
 public:
  RightsService(int channel, uint16_t rights) : channel_(channel), rights_(rights) {}

  // The first message: the rights held, or why the helper will not serve.
  bool sendHello();
  bool sendRefusalHello(rights::HelperRefusal reason);

  // Serves until the program's end of the channel closes (0) or the channel fails (1).
  int serve();

 private:
  // Receives one request; false at the end of the channel.
  bool receive(rights::Request& request, rights::RequestCheck& check, bool& failed);
  void serveCapture(const rights::CaptureSocketRequest& body, rights::Answer& answer,
                    UniqueFd& socket);
  void serveDestroy(const rights::DestroyTcpRequest& body, rights::Answer& answer);
  void serveOwners(const rights::SocketOwnersRequest& body, rights::Answer& answer);
  bool send(const rights::Answer& answer, int fd = -1);

  int channel_;
  uint16_t rights_;
  SocketOwners owners_;
  std::vector<SocketRow> rows_;
};

}  // namespace s::platform
