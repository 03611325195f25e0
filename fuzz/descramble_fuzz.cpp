// Any update file and any scramble key: descrambling the plain copy again gives the shipped bytes
// back, and the shipped file is never changed.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "dialog/tessel_dlg.h"
#include "null_platform.h"

namespace {

using namespace tessel;
using namespace tessel::fuzz;

class KeyedDialog final : public CTesselDlg {
public:
    using CTesselDlg::CTesselDlg;
    void SetKey(std::uint8_t key) { scrambleKey_ = key; }
};

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("tessel-fuzz-descramble-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    const std::string shipped(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::ofstream(folder / "shipped.dat", std::ios::binary | std::ios::trunc) << shipped;
    // Copies are only ever written as new files.
    std::filesystem::remove(folder / "plain.htm");
    std::filesystem::remove(folder / "again.dat");

    NullHost host;
    NoSockets sockets;
    NoUploads uploader;
    NoObserver observer;
    KeyedDialog dialog({host, host, host, sockets, uploader, observer});
    dialog.SetKey(data[0]);
    if (dialog.DescrambleFile((folder / "shipped.dat").string(), (folder / "plain.htm").string()) != 1 ||
        dialog.DescrambleFile((folder / "plain.htm").string(), (folder / "again.dat").string()) != 1) {
        std::abort();
    }
    if (Read(folder / "again.dat") != shipped || Read(folder / "shipped.dat") != shipped) std::abort();
    const std::string plain = Read(folder / "plain.htm");
    if (plain.size() != shipped.size()) std::abort();
    for (std::size_t i = 0; i < shipped.size(); ++i) {
        if ((plain[i] ^ shipped[i]) != static_cast<char>(data[0])) std::abort();
    }
    return 0;
}
