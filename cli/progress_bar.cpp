#include "cli/progress_bar.h"

#include <algorithm>

#include "dialog/cp932.h"

namespace tessel::cli {

std::string ProgressLine(const std::string& name, int done, int total, int width) {
    // Counters read while the transfer runs may pass the total for a moment.
    done = std::clamp(done, 0, std::max(total, 0));
    const int filled = total > 0 ? static_cast<int>(static_cast<long long>(done) * width / total) : 0;
    const int percent = total > 0 ? static_cast<int>(static_cast<long long>(done) * 100 / total) : 0;
    std::string line = name + " [" + std::string(filled, '#') + std::string(width - filled, '-') + "] ";
    line += std::to_string(percent) + " %";
    return line;
}

void ProgressBar::uploadProgress(const UploadRequest& request, int doneBlocks, int totalBlocks) {
    const std::lock_guard lock(mutex_);
    out_ << '\r' << ProgressLine(Cp932ToUtf8(request.remotePath), doneBlocks, totalBlocks, 30) << std::flush;
    drawn_ = true;
}

void ProgressBar::uploadFinished(const UploadRequest&) {
    const std::lock_guard lock(mutex_);
    // The bar gives way to the next status line.
    if (drawn_) out_ << "\r\033[K" << std::flush;
    drawn_ = false;
}

}  // namespace tessel::cli
