#include "platform/win32/winsock_startup.h"

#include <winsock2.h>

namespace tessel::win32 {

WinsockStartup::WinsockStartup() {
    WSADATA data{};
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockStartup::~WinsockStartup() {
    if (started_) ::WSACleanup();
}

}  // namespace tessel::win32
