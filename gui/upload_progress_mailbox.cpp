#include "gui/upload_progress_mailbox.h"

namespace tessel {

void UploadProgressMailbox::uploadProgress(const UploadRequest&, int doneBlocks, int totalBlocks) {
    std::lock_guard lock(mutex_);
    latest_ = Progress{doneBlocks, totalBlocks};
}

// The uploader that waits for the upload learns of its end itself.
void UploadProgressMailbox::uploadFinished(const UploadRequest&) {}

std::optional<UploadProgressMailbox::Progress> UploadProgressMailbox::latest() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

void UploadProgressMailbox::clear() {
    std::lock_guard lock(mutex_);
    latest_.reset();
}

}  // namespace tessel
