// A program that uploads one file in ASCII mode with a Shift-JIS to EUC-JP conversion, so that the
// library makes a converted copy: a test ends it by a signal in the middle of the transfer.
//   skiffs_send_child PORT LOCAL REMOTE
#include <cstdio>
#include <cstdlib>

#include "SkiffS/SkiffS.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: skiffs_send_child PORT LOCAL REMOTE\n");
        return 2;
    }
    const auto port = static_cast<unsigned short>(std::atoi(argv[1]));
    constexpr int kAscii = 0;
    constexpr int kShiftJisToEuc = 2;
    return CSkiffClient().Skiff_SendD("127.0.0.1", "user", "pw", port, kAscii, argv[2], argv[3], 1, kShiftJisToEuc) ==
                   0
               ? 0
               : 1;
}
