#include "cli/run_stop.h"

#include "cli/run_loop.h"
#include "platform/file_uploader.h"

namespace tessel::cli {

void RunStop::stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    if (uploader_ != nullptr) uploader_->cancel();
    if (loop_ != nullptr) loop_->stop();
}

void RunStop::attach(FileUploader& uploader, RunLoop& loop) {
    const std::lock_guard lock(mutex_);
    uploader_ = &uploader;
    loop_ = &loop;
    if (stopped_) {
        uploader.cancel();
        loop.stop();
    }
}

void RunStop::detach() {
    const std::lock_guard lock(mutex_);
    uploader_ = nullptr;
    loop_ = nullptr;
}

}  // namespace tessel::cli
