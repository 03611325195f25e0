#include "cli/device_address.h"

#include <algorithm>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <system_error>

#include "platform/asio/asio_stream_socket.h"

namespace tessel::cli {

// The lock and the run must see one device: a resolved name is what the console connection will reach.
std::string CanonicalAddress(const std::string& address, bool resolve) {
    using asio::ip::tcp;
    asio::io_context context(1);
    if (resolve) {
        const std::string device = AsioSocketFactory(context).deviceAddress(address);
        return device.empty() ? address : device;
    }
    if (!address.empty()) {
        tcp::resolver resolver(context);
        std::error_code error;
        // Numbers only, not Asio's default of addresses configured here: "127.1" and "::1" are taken as they are.
        const tcp::resolver::results_type found = resolver.resolve(address, "", tcp::resolver::numeric_host, error);
        if (!error && !found.empty()) {
            asio::ip::address first = found.begin()->endpoint().address();
            // A device reached through an IPv4-mapped address is the IPv4 device.
            if (first.is_v6() && first.to_v6().is_v4_mapped()) {
                first = asio::ip::make_address_v4(asio::ip::v4_mapped, first.to_v6());
            }
            try {
                return first.to_string();
            } catch (const std::system_error&) {
                // Not written as text: taken as given below.
            }
        }
    }
    std::string lower = address;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

}  // namespace tessel::cli
