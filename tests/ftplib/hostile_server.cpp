#include "hostile_server.h"

#include <algorithm>

namespace tessel::test {

namespace {

using loopback::kNoSocket;
using loopback::Readable;
using loopback::Socket;

constexpr int kPollMs = 20;
constexpr int kBacklog = 4;
// Small buffers, so that a slow reader holds back its sender soon.
constexpr int kSmallBuffer = 4096;

// The reply that opens a passive data connection on port, in the form the command asked for.
std::string PassiveReply(const std::string& command, unsigned short port) {
    if (command == "EPSV") return "229 Entering Extended Passive Mode (|||" + std::to_string(port) + "|)";
    return "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256) +
           ")";
}

}  // namespace

HostileServer::HostileServer(HostileBehaviour behaviour) : behaviour_(std::move(behaviour)) {
    listener_ = loopback::Listen(port_, kBacklog, kSmallBuffer);
    thread_ = std::thread([this] { Serve(); });
}

HostileServer::~HostileServer() {
    stop_ = true;
    thread_.join();
    loopback::Close(listener_);
}

std::string HostileServer::Stored() const {
    std::lock_guard lock(mutex_);
    return stored_;
}

void HostileServer::Serve() {
    while (!stop_) {
        if (!Readable(listener_, kPollMs)) continue;
        const Socket control = loopback::Accept(listener_);
        if (control == kNoSocket) continue;
        Session(control);
        loopback::Close(control);
    }
}

bool HostileServer::Reply(Socket control, const std::string& line) {
    const std::string text = line + "\r\n";
    return loopback::Send(control, text.data(), text.size()) == static_cast<long>(text.size());
}

bool HostileServer::SendSlowly(Socket socket, const std::string& bytes, int bytesPerSecond) {
    if (bytesPerSecond == 0) {
        // A block at a time, and only when it fits: a client that stops reading but keeps its data connection
        // open (WinInet under Wine, after a download was cut short) must not hold the server past its stop.
        constexpr std::size_t kBlock = 1024;
        for (std::size_t sent = 0; sent < bytes.size() && !stop_;) {
            if (!loopback::Writable(socket, kPollMs)) continue;
            const long n = loopback::Send(socket, bytes.data() + sent, std::min(kBlock, bytes.size() - sent));
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return !stop_;
    }
    for (const char c : bytes) {
        if (stop_ || loopback::Send(socket, &c, 1) != 1) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1000 / bytesPerSecond));
    }
    return true;
}

Socket HostileServer::AcceptData(Socket listener) {
    if (listener == kNoSocket) return kNoSocket;
    for (int waited = 0; waited < 5000 && !stop_; waited += kPollMs) {
        if (Readable(listener, kPollMs)) return loopback::Accept(listener);
    }
    return kNoSocket;
}

void HostileServer::Session(Socket control) {
    if (behaviour_.dripGreeting) {
        while (SendSlowly(control, "220-welcome\r\n", 5)) {
        }
        return;
    }
    Reply(control, "220 hostile");
    Socket dataListener = kNoSocket;
    std::string line;
    while (!stop_) {
        if (!Readable(control, kPollMs)) continue;
        char c;
        if (loopback::Receive(control, &c, 1) != 1) break;
        if (c != '\n') {
            if (c != '\r') line += c;
            continue;
        }
        const std::string command = line.substr(0, line.find(' '));
        line.clear();
        if (command == "USER") {
            Reply(control, "331 password");
        } else if (command == "PASS") {
            Reply(control, "230 in");
        } else if (command == "PWD") {
            Reply(control, "257 \"/\"");
        } else if (command == "TYPE") {
            Reply(control, "200 type set");
        } else if (command == "EPSV" || command == "PASV") {
            unsigned short port = 0;
            loopback::Close(dataListener);
            dataListener = loopback::Listen(port, kBacklog, kSmallBuffer);
            Reply(control, PassiveReply(command, port));
        } else if (command == "LIST" || command == "RETR" || command == "STOR") {
            const Socket data = AcceptData(dataListener);
            Reply(control, "150 data");
            if (command == "STOR") {
                std::string got;
                char buf[65536];
                // A throttled reader takes a tenth of a second's bytes, then sleeps that tenth.
                const int rate = behaviour_.dataBytesPerSecond;
                const std::size_t chunk = rate == 0 ? sizeof buf : std::max<std::size_t>(1, rate / 10);
                for (;;) {
                    if (stop_) break;
                    if (!Readable(data, kPollMs)) continue;
                    const long n = loopback::Receive(data, buf, std::min(chunk, sizeof buf));
                    if (n <= 0) break;
                    got.append(buf, static_cast<std::size_t>(n));
                    received_ += static_cast<std::uint64_t>(n);
                    if (rate != 0) {
                        const auto pause = static_cast<std::size_t>(n) * 1000 / static_cast<std::size_t>(rate);
                        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
                    }
                }
                loopback::Close(data);
                {
                    std::lock_guard lock(mutex_);
                    stored_ = got;
                }
                for (auto waited = std::chrono::milliseconds(0); waited < behaviour_.finalReplyDelay && !stop_;
                     waited += std::chrono::milliseconds(kPollMs)) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
                }
                if (behaviour_.neverConfirmStoredFile) continue;
                Reply(control, behaviour_.refuseStoredFile ? "451 cannot write" : "226 stored");
            } else {
                const std::string bytes =
                    command == "LIST" ? behaviour_.listing : std::string(behaviour_.retrieveBytes, 'r');
                const bool whole = SendSlowly(data, bytes, command == "LIST" ? 0 : behaviour_.dataBytesPerSecond);
                loopback::Close(data);
                if (whole) Reply(control, "226 sent");
            }
        } else if (command == "QUIT") {
            if (behaviour_.silentQuit) {
                char c = 0;
                while (!stop_ && (!Readable(control, kPollMs) || loopback::Receive(control, &c, 1) > 0)) {
                }
                break;
            }
            Reply(control, "221 bye");
            break;
        } else {
            Reply(control, "250 ok");
        }
    }
    loopback::Close(dataListener);
}

}  // namespace tessel::test
