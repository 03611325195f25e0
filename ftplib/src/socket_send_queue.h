// The system's view of a connected socket's send side: how much of what was written to it has not
// left yet, and how large a send buffer it is asked to keep. An upload hands its protocol engine only
// as many blocks as the socket takes at once, so that a stop holds back every block after that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace skiffs {

// A socket as the system names it (a descriptor, or a handle), widened to one type for every system.
using SocketHandle = std::intptr_t;

// Bytes written to the socket that the kernel still holds unsent; nothing when the system cannot
// tell.
std::optional<std::size_t> QueuedSendBytes(SocketHandle socket);

// Asks for a send buffer of this many bytes; the kernel may round it up or keep more for its own
// accounting.
void AskSendBuffer(SocketHandle socket, int bytes);

}  // namespace skiffs
