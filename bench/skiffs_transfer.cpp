// One SkiffS transfer from the command line, for benchmarks that run the library as its own process (on
// Windows under Wine, against a server of the Linux side):
//
//   skiffs_transfer send|get HOST PORT USER PASSWORD LOCAL REMOTE
//
// Binary, passive, no conversion. Prints nothing; the exit status is 0 for SKIFF_OK, else 1 after the
// result's text on stderr.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SkiffS/SkiffS.h"

int main(int argc, char** argv) {
    if (argc != 8) {
        std::fprintf(stderr, "usage: skiffs_transfer send|get HOST PORT USER PASSWORD LOCAL REMOTE\n");
        return 2;
    }
    const std::string direction = argv[1];
    const long port = std::strtol(argv[3], nullptr, 10);
    if ((direction != "send" && direction != "get") || port <= 0 || port > 65535) {
        std::fprintf(stderr, "skiffs_transfer: send or get, and a port from 1 to 65535\n");
        return 2;
    }
    CSkiffClient client;
    const auto ftpPort = static_cast<unsigned short>(port);
    const int result = direction == "send"
                           ? client.Skiff_SendD(argv[2], argv[4], argv[5], ftpPort, 1, argv[6], argv[7], 1, 0)
                           : client.Skiff_GetD(argv[2], argv[4], argv[5], ftpPort, 1, argv[7], argv[6], 1, 0);
    if (result == SKIFF_OK) return 0;
    std::fprintf(stderr, "skiffs_transfer: %s\n", Skiff_ResultText(result));
    return 1;
}
