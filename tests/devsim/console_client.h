#pragma once

#include <string>

namespace tessel::test {

// A plain TCP client of the device console on loopback; every wait is bounded.
class ConsoleClient {
public:
    ConsoleClient() = default;
    ~ConsoleClient();
    ConsoleClient(const ConsoleClient&) = delete;
    ConsoleClient& operator=(const ConsoleClient&) = delete;

    // False when the connection is refused.
    bool Connect(unsigned short port, const std::string& host = "127.0.0.1");
    // Sends bytes as they are.
    void Send(const std::string& bytes);
    // Sends text followed by CR, as the updater does.
    void SendLine(const std::string& text);
    // Reads until what arrived since the last call holds text or the time is up; returns all of it.
    std::string ReadUntil(const std::string& text, int timeoutMs = 10000);
    // Reads whatever arrives until the time is up.
    std::string ReadFor(int timeoutMs);
    // True when the device closes the connection within the time.
    bool WaitClosed(int timeoutMs = 10000);
    // Login ID, then the password once the device answered; returns the reply to the password.
    std::string Login(const std::string& id = "admin", const std::string& password = "admin");

private:
    // Reads one block; empty when nothing came in the time; sets closed_ at the end of the stream.
    std::string ReadBlock(int timeoutMs);

    int fd_ = -1;
    bool closed_ = false;
};

}  // namespace tessel::test
