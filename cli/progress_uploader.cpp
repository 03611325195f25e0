#include "cli/progress_uploader.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "SkiffS/SkiffS.h"
#include "app/cp932.h"

namespace tessel::cli {

std::string ProgressLine(const std::string& name, int done, int total, int width) {
    const int filled = total > 0 ? static_cast<int>(static_cast<long long>(done) * width / total) : 0;
    const int percent = total > 0 ? static_cast<int>(static_cast<long long>(done) * 100 / total) : 0;
    std::string line = name + " [" + std::string(filled, '#') + std::string(width - filled, '-') + "] ";
    line += std::to_string(percent) + " %";
    return line;
}

ProgressUploader::ProgressUploader(FileUploader& inner, std::ostream& out, bool show)
    : inner_(inner), out_(out), show_(show) {}

int ProgressUploader::sendFile(const UploadRequest& request) {
    if (!show_) return inner_.sendFile(request);
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    const std::string name = Cp932ToUtf8(request.remotePath);
    std::thread watcher([&] {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, std::chrono::milliseconds(100), [&] { return done; })) {
            int total = 0;
            int sent = 0;
            Skiff_GetStatus(request.host.c_str(), &total, &sent);
            if (total > 0) out_ << '\r' << ProgressLine(name, sent, total, 30) << std::flush;
        }
    });
    const int result = inner_.sendFile(request);
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    finished.notify_one();
    watcher.join();
    // The bar gives way to the next status line.
    out_ << "\r\033[K" << std::flush;
    return result;
}

}  // namespace tessel::cli
