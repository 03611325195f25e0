#pragma once

#include <mutex>
#include <optional>

#include "platform/file_uploader.h"

namespace tessel {

// Keeps the latest progress of the running upload, which arrives on the uploader's own threads, for the GUI
// thread to take.
class UploadProgressMailbox final : public UploadProgressListener {
public:
    struct Progress {
        int doneBlocks = 0;
        int totalBlocks = 0;
    };

    void uploadProgress(const UploadRequest& request, int doneBlocks, int totalBlocks) override;
    void uploadFinished(const UploadRequest& request) override;

    // The latest progress of the upload since the last clear(), if any came.
    std::optional<Progress> latest() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::optional<Progress> latest_;
};

}  // namespace tessel
