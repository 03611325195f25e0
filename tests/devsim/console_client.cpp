#include "console_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace tessel::test {

namespace {

int MsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

ConsoleClient::~ConsoleClient() {
    if (fd_ >= 0) close(fd_);
}

bool ConsoleClient::Connect(unsigned short port, const std::string& host) {
    if (fd_ >= 0) close(fd_);
    closed_ = false;
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) return false;
    // A loopback connect completes or is refused at once.
    return connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

void ConsoleClient::Send(const std::string& bytes) {
    [[maybe_unused]] const auto sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void ConsoleClient::SendLine(const std::string& text) { Send(text + "\r"); }

std::string ConsoleClient::ReadBlock(int timeoutMs) {
    pollfd p{fd_, POLLIN, 0};
    if (closed_ || poll(&p, 1, timeoutMs) <= 0) return {};
    char buffer[4096];
    const auto count = recv(fd_, buffer, sizeof buffer, 0);
    if (count <= 0) {
        closed_ = true;
        return {};
    }
    return std::string(buffer, static_cast<std::size_t>(count));
}

std::string ConsoleClient::ReadUntil(const std::string& text, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (received.find(text) == std::string::npos && !closed_ && MsLeft(deadline) > 0) {
        received += ReadBlock(MsLeft(deadline));
    }
    return received;
}

std::string ConsoleClient::ReadFor(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (!closed_ && MsLeft(deadline) > 0) received += ReadBlock(MsLeft(deadline));
    return received;
}

bool ConsoleClient::WaitClosed(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!closed_ && MsLeft(deadline) > 0) ReadBlock(MsLeft(deadline));
    return closed_;
}

std::string ConsoleClient::Login(const std::string& id, const std::string& password) {
    SendLine(id);
    ReadUntil("Password: ");
    SendLine(password);
    return ReadUntil(">");
}

}  // namespace tessel::test
