#include "brokered_ftp_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace tessel::test {

namespace {

// A request waits this long for the broker's answer (starting a server takes a second or two).
constexpr DWORD kAnswerMilliseconds = 30000;

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 0xF];
    }
    return hex;
}

std::string Unhex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

unsigned short BrokerPort() {
    const char* file = std::getenv("SKIFFS_FTP_BROKER_PORT_FILE");
    if (file == nullptr) throw std::runtime_error("SKIFFS_FTP_BROKER_PORT_FILE is not set");
    std::ifstream in(file);
    int port = 0;
    if (!(in >> port) || port <= 0 || port > 65535) throw std::runtime_error("no FTP server broker is running");
    return static_cast<unsigned short>(port);
}

// One request, one answer line, on a connection of its own.
std::string Ask(const std::string& request) {
    static std::once_flag started;
    std::call_once(started, [] {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    });
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw std::runtime_error("no socket for the broker");
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&kAnswerMilliseconds),
               sizeof kAnswerMilliseconds);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(BrokerPort());
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    const std::string line = request + "\n";
    ok = ok && send(s, line.data(), static_cast<int>(line.size()), 0) == static_cast<int>(line.size());
    char buf[65536];
    while (ok && answer.find('\n') == std::string::npos) {
        const int n = recv(s, buf, sizeof buf, 0);
        if (n <= 0) ok = false;
        else answer.append(buf, static_cast<std::size_t>(n));
    }
    closesocket(s);
    if (!ok) throw std::runtime_error("the FTP server broker did not answer " + request.substr(0, request.find(' ')));
    answer.resize(answer.find('\n'));
    return answer;
}

// The words of an answer after "ok"; throws on any other answer.
std::vector<std::string> Words(const std::string& answer) {
    std::istringstream in(answer);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.empty() || words[0] != "ok") throw std::runtime_error("FTP server broker: " + answer);
    words.erase(words.begin());
    return words;
}

}  // namespace

BrokeredFtpServer::BrokeredFtpServer(BrokeredServerOptions options) : options_(std::move(options)) {
    const std::vector<std::string> words = Words(Ask("start " + options_.user + " " + options_.password + " " +
                                                     std::to_string(options_.rate) + " " +
                                                     std::to_string(options_.stallAfter)));
    if (words.size() != 2) throw std::runtime_error("FTP server broker: no port");
    id_ = std::stoi(words[0]);
    port_ = static_cast<unsigned short>(std::stoi(words[1]));
}

BrokeredFtpServer::~BrokeredFtpServer() {
    try {
        Ask("stop " + std::to_string(id_));
    } catch (const std::exception&) {
        // The broker's own end stops every server it started.
    }
}

std::optional<std::string> BrokeredFtpServer::Read(const std::string& path) const {
    const std::string answer = Ask("read " + std::to_string(id_) + " " + Hex(path));
    if (answer == "missing") return std::nullopt;
    const std::vector<std::string> words = Words(answer);
    return Unhex(words.empty() ? std::string() : words[0]);
}

void BrokeredFtpServer::Write(const std::string& path, const std::string& bytes) const {
    Words(Ask("write " + std::to_string(id_) + " " + Hex(path) + " " + Hex(bytes)));
}

std::vector<std::string> BrokeredFtpServer::Commands() const {
    const std::vector<std::string> words = Words(Ask("commands " + std::to_string(id_)));
    std::istringstream log(Unhex(words.empty() ? std::string() : words[0]));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}

}  // namespace tessel::test
