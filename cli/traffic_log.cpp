#include "cli/traffic_log.h"

#include <string>

#include "dialog/cp932.h"

namespace tessel::cli {
namespace {

// One line per line of the block, prefixed; CR and CR LF end a line alike.
void Show(std::ostream& log, const char* prefix, const char* data, std::size_t size) {
    const std::string text = Cp932ToUtf8(std::string_view(data, size));
    std::string line;
    auto flush = [&] {
        log << prefix << line << '\n';
        line.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            flush();
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) flush();
    log.flush();
}

class TrafficLoggingSocket final : public StreamSocket {
public:
    TrafficLoggingSocket(std::unique_ptr<StreamSocket> inner, std::ostream& log)
        : inner_(std::move(inner)), log_(log) {}

    bool connect(std::string_view host, std::uint16_t port) override {
        log_ << "-- connecting to " << host << ':' << port << std::endl;
        return inner_->connect(host, port);
    }
    std::ptrdiff_t send(const char* data, std::size_t size) override {
        const std::ptrdiff_t sent = inner_->send(data, size);
        if (sent > 0) Show(log_, "> ", data, static_cast<std::size_t>(sent));
        return sent;
    }
    std::ptrdiff_t receive(char* buffer, std::size_t capacity) override {
        const std::ptrdiff_t count = inner_->receive(buffer, capacity);
        if (count > 0) Show(log_, "< ", buffer, static_cast<std::size_t>(count));
        if (count == 0) log_ << "-- the device closed the connection" << std::endl;
        return count;
    }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }

private:
    std::unique_ptr<StreamSocket> inner_;
    std::ostream& log_;
};

}  // namespace

TrafficLoggingSocketFactory::TrafficLoggingSocketFactory(SocketFactory& inner, std::ostream& log)
    : inner_(inner), log_(log) {}

std::unique_ptr<StreamSocket> TrafficLoggingSocketFactory::createStreamSocket(StreamSocketEvents& events) {
    std::unique_ptr<StreamSocket> socket = inner_.createStreamSocket(events);
    if (!socket) return nullptr;
    return std::make_unique<TrafficLoggingSocket>(std::move(socket), log_);
}

}  // namespace tessel::cli
