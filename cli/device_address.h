// One spelling for each device address, so that "127.1", "::ffff:127.0.0.1" and "127.0.0.1" are one device to
// the per-device lock and to the fleet's duplicate checks.
#pragma once

#include <string>

namespace tessel::cli {

// A numeric address in its one form (an IPv4-mapped IPv6 address as its IPv4 address, IPv6 compressed);
// with resolve, a host name as the address its console connection reaches (its first IPv4 address, else its
// first), else the name in lower case. An address that does not parse (or resolve) is returned as it is, so
// that two runs of one such text still meet.
std::string CanonicalAddress(const std::string& address, bool resolve);

}  // namespace tessel::cli
