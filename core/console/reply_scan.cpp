
#include "dialog/tessel_dlg.h"

namespace tessel {
namespace {

// The device's replies are judged within the first 200 bytes of a block; a pattern that starts at the last
// of those positions may reach beyond them.
constexpr std::size_t kReplyScanEnd = 200;

}  // namespace

std::optional<std::size_t> CTesselDlg::ScanReply(std::initializer_list<std::string_view> patterns) const {
    const std::string_view buffer(receiveBuffer_.data(), receiveBuffer_.size());
    for (std::size_t offset = 0; offset < kReplyScanEnd; ++offset) {
        std::size_t index = 0;
        for (const std::string_view pattern : patterns) {
            if (buffer.substr(offset, pattern.size()) == pattern) return index;
            ++index;
        }
    }
    return std::nullopt;
}

bool CTesselDlg::CountPolledEvent(std::int32_t limit, std::string_view failure) {
    if (pollCounter_ > limit) {
        ReportError(failure);
        return false;
    }
    ++pollCounter_;
    return true;
}

}  // namespace tessel
