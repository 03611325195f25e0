// A real FTP server (pyftpdlib) for a test that runs under Wine. A Wine program can start a Linux process
// but can neither wait for it nor stop it, so the server is started and stopped by the broker that CTest runs
// on the Linux side (ftp_server_broker.py); its files and command log are reached through the broker as well.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessel::test {

struct BrokeredServerOptions {
    std::string user = "user";
    std::string password = "secret";
    // Bytes per second on data connections; 0 is unlimited.
    long rate = 0;
    // Data connections stop moving data after this many bytes; negative never.
    long stallAfter = -1;
};

class BrokeredFtpServer {
public:
    // Serves a fresh folder with the device drives "B:" and "C:/www/control"; throws when it cannot start.
    explicit BrokeredFtpServer(BrokeredServerOptions options = {});
    ~BrokeredFtpServer();
    BrokeredFtpServer(const BrokeredFtpServer&) = delete;
    BrokeredFtpServer& operator=(const BrokeredFtpServer&) = delete;

    unsigned short port() const { return port_; }
    const BrokeredServerOptions& options() const { return options_; }
    // The bytes of a file under the server's folder ("B:/prism3.dat"); nothing when there is none.
    std::optional<std::string> Read(const std::string& path) const;
    void Write(const std::string& path, const std::string& bytes) const;
    // The commands the server has received so far, one per line, in order.
    std::vector<std::string> Commands() const;

private:
    BrokeredServerOptions options_;
    int id_ = 0;
    unsigned short port_ = 0;
};

}  // namespace tessel::test
