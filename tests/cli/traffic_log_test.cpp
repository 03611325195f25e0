// --verbose shows the console traffic but never the password, also when the console echoes it back.
#include "cli/traffic_log.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>
#include <string>

namespace tessel::cli {
namespace {

// A console whose replies are queued blocks.
class ScriptedSocket final : public StreamSocket {
public:
    explicit ScriptedSocket(std::deque<std::string>& replies) : replies_(replies) {}
    bool connect(std::string_view, std::uint16_t) override { return true; }
    std::ptrdiff_t send(const char*, std::size_t size) override { return static_cast<std::ptrdiff_t>(size); }
    std::ptrdiff_t receive(char* buffer, std::size_t capacity) override {
        if (replies_.empty()) return 0;
        const std::string block = replies_.front();
        replies_.pop_front();
        const std::size_t count = std::min(capacity, block.size());
        block.copy(buffer, count);
        return static_cast<std::ptrdiff_t>(count);
    }
    void close() override {}
    bool isOpen() const override { return true; }

private:
    std::deque<std::string>& replies_;
};

class ScriptedSockets final : public SocketFactory {
public:
    std::unique_ptr<StreamSocket> createStreamSocket(StreamSocketEvents&) override {
        return std::make_unique<ScriptedSocket>(replies);
    }
    std::string deviceAddress(std::string_view host) override { return std::string(host); }
    std::deque<std::string> replies;
};

class NoEvents final : public StreamSocketEvents {
public:
    void onConnect(int) override {}
    void onReceive(int) override {}
};

// The log of a login whose password the console echoes in the given blocks.
std::string LogOf(std::deque<std::string> echo) {
    ScriptedSockets inner;
    inner.replies = std::move(echo);
    std::ostringstream log;
    TrafficLoggingSocketFactory factory(inner, log, "pw-7f3a9");
    NoEvents events;
    std::unique_ptr<StreamSocket> socket = factory.createStreamSocket(events);
    socket->send("pw-7f3a9\r\n", 10);
    char buffer[64];
    while (socket->receive(buffer, sizeof buffer) > 0) {
    }
    socket->close();
    return log.str();
}

TEST(TrafficLog, ThePasswordNeverShowsInWhatIsSentNorInTheConsolesEcho) {
    for (const std::deque<std::string>& echo :
         {std::deque<std::string>{"pw-7f3a9\r\n> "}, std::deque<std::string>{"pw-", "7f", "3a9\r\n> "},
          std::deque<std::string>{"p", "w", "-", "7", "f", "3", "a", "9", "\r\n> "}}) {
        const std::string log = LogOf(echo);
        EXPECT_EQ(log.find("pw-7f3a9"), std::string::npos) << log;
        EXPECT_EQ(log.find("7f"), std::string::npos) << log;
        EXPECT_NE(log.find("> ********"), std::string::npos) << log;
        EXPECT_NE(log.find("< ********"), std::string::npos) << log;
        EXPECT_NE(log.find("< >"), std::string::npos) << log;
    }
}

TEST(TrafficLog, TextThatOnlyBeginsLikeThePasswordIsShownInFullInTheEnd) {
    const std::string log = LogOf({"pw-7", "x done\r\n", "pw"});
    EXPECT_NE(log.find("< pw-7"), std::string::npos) << log;
    EXPECT_NE(log.find("x done"), std::string::npos) << log;
    EXPECT_NE(log.find("< pw\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace tessel::cli
