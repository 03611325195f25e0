#pragma once

#include <string>

namespace tessel::os {

// Now in UTC, as ISO 8601: YYYY-MM-DDTHH:MM:SSZ.
std::string UtcNowIso8601();

}  // namespace tessel::os
