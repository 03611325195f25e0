// Shows what goes over the console connection, for --verbose.
#pragma once

#include <ostream>

#include "platform/stream_socket.h"

namespace tessel::cli {

// Creates the sockets of another factory and writes every block sent ("> ") and received ("< ").
class TrafficLoggingSocketFactory final : public SocketFactory {
public:
    TrafficLoggingSocketFactory(SocketFactory& inner, std::ostream& log);
    std::unique_ptr<StreamSocket> createStreamSocket(StreamSocketEvents& events) override;

private:
    SocketFactory& inner_;
    std::ostream& log_;
};

}  // namespace tessel::cli
