#include "gui/painting_uploader.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "dialog/cp932.h"
#include "gui/upload_progress_mailbox.h"
#include "gui/upload_progress_view.h"

namespace tessel {
namespace {

// The file name of a device path such as "B:\\kbteva.bin", in UTF-8. The path is decoded first: a backslash
// byte can be the second byte of a code page 932 character.
std::string FileName(const std::string& remotePath) {
    const std::string path = Cp932ToUtf8(remotePath);
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

PaintingUploader::PaintingUploader(FileUploader& uploader, UploadProgressMailbox* progress, UploadProgressView& window)
    : uploader_(uploader), progress_(progress), window_(window) {}

int PaintingUploader::sendFile(const UploadRequest& request) {
    if (progress_) progress_->clear();
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    int result = 0;
    std::thread worker([&] {
        const int sent = uploader_.sendFile(request);
        std::lock_guard lock(mutex);
        result = sent;
        done = true;
        ended.notify_one();
    });
    std::unique_lock lock(mutex);
    do {
        lock.unlock();
        showProgress(request);
        lock.lock();
    } while (!ended.wait_for(lock, kRepaintPeriod, [&] { return done; }));
    lock.unlock();
    worker.join();
    window_.endUploadProgress();
    return result;
}

void PaintingUploader::showProgress(const UploadRequest& request) {
    const auto progress = progress_ ? progress_->latest() : std::nullopt;
    window_.showUploadProgress(FileName(request.remotePath), progress ? progress->doneBlocks : 0,
                               progress ? progress->totalBlocks : 0);
}

}  // namespace tessel
