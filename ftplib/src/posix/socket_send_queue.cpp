#include "socket_send_queue.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace skiffs {

std::optional<std::size_t> QueuedSendBytes(SocketHandle socket) {
    int queued = 0;
    if (ioctl(static_cast<int>(socket), SIOCOUTQ, &queued) != 0 || queued < 0) return std::nullopt;
    return static_cast<std::size_t>(queued);
}

void AskSendBuffer(SocketHandle socket, int bytes) {
    setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

}  // namespace skiffs
