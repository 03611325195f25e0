// A hand-made FTP server on 127.0.0.1 that misbehaves on purpose: slow or missing final replies,
// drip-fed data and replies, more data than its listing announces. It serves one connection at a
// time on its own thread; the destructor stops it. Every wait inside it is bounded. It offers both
// passive modes: EPSV for the protocol engine, PASV for WinInet, which never asks for EPSV.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "loopback_socket.h"

namespace tessel::test {

struct HostileBehaviour {
    // Lines sent for LIST.
    std::string listing = "";
    // Bytes sent for RETR, whatever the listing says.
    std::uint64_t retrieveBytes = 0;
    // Data connections move this many bytes per second in either direction; 0 is as fast as possible.
    int dataBytesPerSecond = 0;
    // After a stored file has arrived: wait this long, then confirm it (or refuse it).
    std::chrono::milliseconds finalReplyDelay{0};
    bool refuseStoredFile = false;
    bool neverConfirmStoredFile = false;
    // The greeting never ends: a multi-line reply dripped at 5 bytes per second.
    bool dripGreeting = false;
    // QUIT is never answered; the connection stays open until the client closes it.
    bool silentQuit = false;
};

class HostileServer {
public:
    explicit HostileServer(HostileBehaviour behaviour);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    unsigned short port() const { return port_; }
    // The bytes of the last stored file, as far as they arrived.
    std::string Stored() const;
    // Bytes of stored files read from their data connections so far.
    std::uint64_t Received() const { return received_; }

private:
    void Serve();
    void Session(loopback::Socket control);
    bool SendSlowly(loopback::Socket socket, const std::string& bytes, int bytesPerSecond);
    bool Reply(loopback::Socket control, const std::string& line);
    loopback::Socket AcceptData(loopback::Socket listener);

    HostileBehaviour behaviour_;
    loopback::Socket listener_ = loopback::kNoSocket;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> received_{0};
    mutable std::mutex mutex_;
    std::string stored_;
    std::thread thread_;
};

}  // namespace tessel::test
