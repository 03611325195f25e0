#include "cli/run_stop.h"

#include "cli/run_loop.h"
#include "platform/skiffs/skiffs_uploader.h"

namespace tessel::cli {

void RunStop::stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    if (uploader_ != nullptr) uploader_->cancelAll();
    if (loop_ != nullptr) loop_->stop();
}

void RunStop::attach(SkiffsUploader& uploader, RunLoop& loop) {
    const std::lock_guard lock(mutex_);
    uploader_ = &uploader;
    loop_ = &loop;
    if (stopped_) {
        uploader.cancelAll();
        loop.stop();
    }
}

void RunStop::detach() {
    const std::lock_guard lock(mutex_);
    uploader_ = nullptr;
    loop_ = nullptr;
}

}  // namespace tessel::cli
