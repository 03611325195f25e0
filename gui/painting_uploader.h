#pragma once

#include <chrono>

#include "platform/file_uploader.h"

namespace tessel {

class UploadProgressMailbox;
class UploadProgressView;

// Runs each upload of another uploader on a thread of its own, while the calling GUI thread keeps the window
// painted and shows how far the upload has come. The call still blocks and no event is dispatched meanwhile:
// the operator's input, console notifications and timers wait for the end of the upload, as they did when
// the upload ran on the GUI thread itself.
class PaintingUploader final : public FileUploader {
public:
    static constexpr std::chrono::milliseconds kRepaintPeriod{100};

    // progress may be null: the window then shows only which file is on its way.
    PaintingUploader(FileUploader& uploader, UploadProgressMailbox* progress, UploadProgressView& window);
    int sendFile(const UploadRequest& request) override;
    void cancel() override { uploader_.cancel(); }

private:
    void showProgress(const UploadRequest& request);

    FileUploader& uploader_;
    UploadProgressMailbox* progress_;
    UploadProgressView& window_;
};

}  // namespace tessel
