#include "platform/os/clock.h"

#include <windows.h>

#include <cstdio>

namespace tessel::os {

std::string UtcNowIso8601() {
    SYSTEMTIME utc{};
    ::GetSystemTime(&utc);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
                  utc.wMinute, utc.wSecond);
    return text;
}

}  // namespace tessel::os
