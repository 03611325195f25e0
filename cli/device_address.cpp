#include "cli/device_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace tessel::cli {
namespace {

std::string Numeric(const sockaddr* address, socklen_t length) {
    if (address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        // A device reached through an IPv4-mapped address is the IPv4 device.
        if (IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr)) {
            in_addr v4{};
            std::memcpy(&v4, v6->sin6_addr.s6_addr + 12, sizeof v4);
            char text[INET_ADDRSTRLEN] = {};
            return ::inet_ntop(AF_INET, &v4, text, sizeof text) != nullptr ? text : std::string();
        }
    }
    char text[NI_MAXHOST] = {};
    return ::getnameinfo(address, length, text, sizeof text, nullptr, 0, NI_NUMERICHOST) == 0 ? text : std::string();
}

}  // namespace

std::string CanonicalAddress(const std::string& address, bool resolve) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = resolve ? 0 : AI_NUMERICHOST;
    addrinfo* found = nullptr;
    if (!address.empty() && ::getaddrinfo(address.c_str(), nullptr, &hints, &found) == 0 && found != nullptr) {
        const std::string numeric = Numeric(found->ai_addr, found->ai_addrlen);
        ::freeaddrinfo(found);
        if (!numeric.empty()) return numeric;
    }
    if (resolve) return address;
    std::string lower = address;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

}  // namespace tessel::cli
