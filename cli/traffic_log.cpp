#include "cli/traffic_log.h"

#include <algorithm>
#include <string>

#include "cli/visible_text.h"
#include "dialog/cp932.h"

namespace tessel::cli {
namespace {

constexpr std::string_view kMask = "********";

std::string Masked(std::string_view block, const std::string& secret) {
    std::string shown(block);
    if (secret.empty()) return shown;
    for (std::size_t at = shown.find(secret); at != std::string::npos; at = shown.find(secret, at + kMask.size())) {
        shown.replace(at, secret.size(), kMask);
    }
    return shown;
}

// One line per line of the block, prefixed; CR and CR LF end a line alike.
void Show(std::ostream& log, const char* prefix, std::string_view block) {
    const std::string text = VisibleText(Cp932ToUtf8(block));
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
    TrafficLoggingSocket(std::unique_ptr<StreamSocket> inner, std::ostream& log, const std::string& secret)
        : inner_(std::move(inner)), log_(log), secret_(secret) {}

    bool connect(std::string_view host, std::uint16_t port) override {
        log_ << "-- connecting to " << VisibleText(host) << ':' << port << std::endl;
        return inner_->connect(host, port);
    }
    std::ptrdiff_t send(const char* data, std::size_t size) override {
        const std::ptrdiff_t sent = inner_->send(data, size);
        if (sent > 0) Show(log_, "> ", Masked(std::string_view(data, static_cast<std::size_t>(sent)), secret_));
        return sent;
    }
    std::ptrdiff_t receive(char* buffer, std::size_t capacity) override {
        const std::ptrdiff_t count = inner_->receive(buffer, capacity);
        if (count > 0) showReceived(std::string_view(buffer, static_cast<std::size_t>(count)));
        if (count == 0) {
            flushReceived();
            log_ << "-- the device closed the connection" << std::endl;
        }
        return count;
    }
    void close() override {
        flushReceived();
        inner_->close();
    }
    bool isOpen() const override { return inner_->isOpen(); }

private:
    // A console that echoes what it is sent echoes the password too, perhaps a few bytes per block: the end
    // of a block that could begin the password waits for the next block before it is shown.
    void showReceived(std::string_view block) {
        held_ += block;
        const std::string masked = Masked(held_, secret_);
        // The longest end of the text that is a proper start of the password waits for the next block.
        std::size_t keep = secret_.empty() ? 0 : std::min(secret_.size() - 1, masked.size());
        while (keep > 0 && masked.compare(masked.size() - keep, keep, secret_, 0, keep) != 0) --keep;
        held_ = masked.substr(masked.size() - keep);
        if (masked.size() > keep) Show(log_, "< ", std::string_view(masked).substr(0, masked.size() - keep));
    }
    void flushReceived() {
        if (!held_.empty()) Show(log_, "< ", held_);
        held_.clear();
    }

    std::unique_ptr<StreamSocket> inner_;
    std::ostream& log_;
    const std::string& secret_;
    std::string held_;
};

}  // namespace

TrafficLoggingSocketFactory::TrafficLoggingSocketFactory(SocketFactory& inner, std::ostream& log, std::string secret)
    : inner_(inner), log_(log), secret_(std::move(secret)) {}

std::unique_ptr<StreamSocket> TrafficLoggingSocketFactory::createStreamSocket(StreamSocketEvents& events) {
    std::unique_ptr<StreamSocket> socket = inner_.createStreamSocket(events);
    if (!socket) return nullptr;
    return std::make_unique<TrafficLoggingSocket>(std::move(socket), log_, secret_);
}

}  // namespace tessel::cli
