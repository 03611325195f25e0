#include <gtest/gtest.h>

#include "platform/win32/winsock_startup.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const tessel::win32::WinsockStartup sockets;
    if (!sockets.started()) return 1;
    return RUN_ALL_TESTS();
}
