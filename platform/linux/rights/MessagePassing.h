#pragma once

#include <sys/types.h>

#include <cstddef>

#include "platform/linux/rights/UniqueFd.h"

namespace s::platform {

// Sends one message on a SOCK_SEQPACKET socket, with descriptor `fd` alongside when it is not
// -1 (SCM_RIGHTS). Gives the bytes sent, or -1 with errno; never raises SIGPIPE.
ssize_t sendMessage(int socket, const void* bytes, size_t size, int fd = -1);

// Receives one message and the descriptor that came with it, if any, close-on-exec; further
// descriptors are closed. `flags` gets the message's flags (MSG_TRUNC, MSG_CTRUNC). Gives the
// bytes received, 0 at the end, or -1 with errno.
ssize_t receiveMessage(int socket, void* bytes, size_t size, UniqueFd& fd, int& flags);

}  // namespace s::platform
