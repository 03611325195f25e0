#include "loopback_address.h"

#include <random>

namespace tessel::gui_test {

std::string RandomLoopbackAddress() {
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> part(2, 254);
    return "127." + std::to_string(part(generator)) + "." + std::to_string(part(generator)) + "." +
           std::to_string(part(generator));
}

}  // namespace tessel::gui_test
