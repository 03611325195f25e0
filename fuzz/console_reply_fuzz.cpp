// A whole console block, as the device may send anything: the login check and the version read
// judge it without reading outside the receive buffer, and the login check's verdict agrees with
// what the first 200 bytes hold.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "dialog/tessel_dlg.h"
#include "procedures/firmware_version.h"
#include "null_platform.h"

namespace {

using namespace tessel;
using namespace tessel::fuzz;

// The dialog with the block in its receive buffer, as the console socket leaves it.
class BlockDialog final : public CTesselDlg {
public:
    using CTesselDlg::CTesselDlg;
    void Receive(std::string_view block) {
        receiveBuffer_.fill('\0');
        std::memcpy(receiveBuffer_.data(), block.data(), std::min(block.size(), receiveBuffer_.size()));
    }
};

bool StartsWithin200(std::string_view block, std::string_view pattern) {
    const std::size_t at = block.find(pattern);
    return at != std::string_view::npos && at < 200;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 20480));
    NullHost host;
    NoSockets sockets;
    NoUploads uploader;
    NoObserver observer;
    BlockDialog dialog({host, host, host, sockets, uploader, observer});
    dialog.Receive(block);
    const LoginCheck verdict = dialog.CheckLogin();
    const std::string_view seen(dialog.receiveBuffer().data(), dialog.receiveBuffer().size());
    if (verdict == LoginCheck::Accepted && !StartsWithin200(seen, ">")) std::abort();
    if (verdict == LoginCheck::Failed && !StartsWithin200(seen, "Login incorrect")) std::abort();
    if (verdict == LoginCheck::Waiting && (StartsWithin200(seen, ">") || StartsWithin200(seen, "Login incorrect"))) {
        std::abort();
    }

    std::array<char, CTesselDlg::kReceiveBufferSize> buffer{};
    std::memcpy(buffer.data(), block.data(), block.size());
    const auto version = ReadFirmwareVersion(buffer);
    if (version && *version < 0 && block.find('-') == std::string_view::npos) std::abort();
    return 0;
}
