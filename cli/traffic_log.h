// Shows what goes over the console connection, for --verbose.
#pragma once

#include <ostream>
#include <string>

#include "platform/stream_socket.h"

namespace tessel::cli {

// Creates the sockets of another factory and writes every block sent ("> ") and received ("< "), with control
// characters made visible. The secret (the password, as sent) never shows: each occurrence, in what is sent
// and in what the console echoes, even across blocks, is written as asterisks.
class TrafficLoggingSocketFactory final : public SocketFactory {
public:
    TrafficLoggingSocketFactory(SocketFactory& inner, std::ostream& log, std::string secret);
    std::unique_ptr<StreamSocket> createStreamSocket(StreamSocketEvents& events) override;
    std::string deviceAddress(std::string_view host) override { return inner_.deviceAddress(host); }

private:
    SocketFactory& inner_;
    std::ostream& log_;
    std::string secret_;
};

}  // namespace tessel::cli
