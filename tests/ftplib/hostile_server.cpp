#include "hostile_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "loopback_listener.h"

namespace tessel::test {

namespace {

constexpr int kPollMs = 20;
constexpr int kBacklog = 4;
// Small buffers, so that a slow reader holds back its sender soon.
constexpr int kSmallBuffer = 4096;

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, kPollMs) > 0;
}

}  // namespace

HostileServer::HostileServer(HostileBehaviour behaviour) : behaviour_(std::move(behaviour)) {
    listener_ = ListenOnLoopback(port_, kBacklog, kSmallBuffer);
    thread_ = std::thread([this] { Serve(); });
}

HostileServer::~HostileServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
}

std::string HostileServer::Stored() const {
    std::lock_guard lock(mutex_);
    return stored_;
}

void HostileServer::Serve() {
    while (!stop_) {
        if (!Readable(listener_)) continue;
        const int control = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (control < 0) continue;
        Session(control);
        close(control);
    }
}

bool HostileServer::Reply(int control, const std::string& line) {
    const std::string text = line + "\r\n";
    return send(control, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
}

bool HostileServer::SendSlowly(int fd, const std::string& bytes, int bytesPerSecond) {
    if (bytesPerSecond == 0) {
        for (std::size_t sent = 0; sent < bytes.size() && !stop_;) {
            const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return !stop_;
    }
    for (const char c : bytes) {
        if (stop_ || send(fd, &c, 1, MSG_NOSIGNAL) != 1) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1000 / bytesPerSecond));
    }
    return true;
}

int HostileServer::AcceptData(int listener) {
    for (int waited = 0; waited < 5000 && !stop_; waited += kPollMs) {
        if (Readable(listener)) return accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    }
    return -1;
}

void HostileServer::Session(int control) {
    if (behaviour_.dripGreeting) {
        while (SendSlowly(control, "220-welcome\r\n", 5)) {
        }
        return;
    }
    Reply(control, "220 hostile");
    int dataListener = -1;
    std::string line;
    while (!stop_) {
        if (!Readable(control)) continue;
        char c;
        if (recv(control, &c, 1, 0) != 1) break;
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
        } else if (command == "EPSV") {
            unsigned short port = 0;
            if (dataListener >= 0) close(dataListener);
            dataListener = ListenOnLoopback(port, kBacklog, kSmallBuffer);
            Reply(control, "229 Entering Extended Passive Mode (|||" + std::to_string(port) + "|)");
        } else if (command == "LIST" || command == "RETR" || command == "STOR") {
            const int data = AcceptData(dataListener);
            Reply(control, "150 data");
            if (command == "STOR") {
                std::string got;
                char buf[65536];
                // A throttled reader takes a tenth of a second's bytes, then sleeps that tenth.
                const int rate = behaviour_.dataBytesPerSecond;
                const std::size_t chunk = rate == 0 ? sizeof buf : std::max<std::size_t>(1, rate / 10);
                for (;;) {
                    if (stop_) break;
                    if (!Readable(data)) continue;
                    const ssize_t n = recv(data, buf, std::min(chunk, sizeof buf), 0);
                    if (n <= 0) break;
                    got.append(buf, static_cast<std::size_t>(n));
                    received_ += static_cast<std::uint64_t>(n);
                    if (rate != 0) {
                        const auto pause = static_cast<std::size_t>(n) * 1000 / static_cast<std::size_t>(rate);
                        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
                    }
                }
                close(data);
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
                close(data);
                if (whole) Reply(control, "226 sent");
            }
        } else if (command == "QUIT") {
            if (behaviour_.silentQuit) {
                char c = 0;
                while (!stop_ && (!Readable(control) || recv(control, &c, 1, 0) > 0)) {
                }
                break;
            }
            Reply(control, "221 bye");
            break;
        } else {
            Reply(control, "250 ok");
        }
    }
    if (dataListener >= 0) close(dataListener);
}

}  // namespace tessel::test
