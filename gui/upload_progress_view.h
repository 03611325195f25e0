#pragma once

#include <string_view>

namespace tessel {

// Where a dialog window shows how far the upload of a file has come, painted at once: the upload blocks the
// thread, so no event would paint it.
class UploadProgressView {
public:
    // fileName is UTF-8; totalBlocks 0: not known yet.
    virtual void showUploadProgress(std::string_view fileName, int doneBlocks, int totalBlocks) = 0;
    virtual void endUploadProgress() = 0;

protected:
    ~UploadProgressView() = default;
};

}  // namespace tessel
