// Draws a progress bar on the terminal while a file uploads.
#pragma once

#include <mutex>
#include <ostream>
#include <string>

#include "platform/file_uploader.h"

namespace tessel::cli {

class ProgressBar final : public UploadProgressListener {
public:
    explicit ProgressBar(std::ostream& out) : out_(out) {}
    void uploadProgress(const UploadRequest& request, int doneBlocks, int totalBlocks) override;
    void uploadFinished(const UploadRequest& request) override;

private:
    std::mutex mutex_;
    std::ostream& out_;
    bool drawn_ = false;
};

// "name [#####-----]  50 %" for done of total blocks, width characters of bar.
std::string ProgressLine(const std::string& name, int done, int total, int width);

}  // namespace tessel::cli
