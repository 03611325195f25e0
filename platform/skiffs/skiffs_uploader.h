#pragma once

#include "platform/file_uploader.h"

namespace tessel {

// Uploads through the SkiffS library: one call of CSkiffClient::Skiff_SendD on a temporary client per file.
// The library makes the program's folder the current directory on every call.
class SkiffsUploader final : public FileUploader {
public:
    // With a listener, the library's progress counters are read while each file uploads.
    explicit SkiffsUploader(UploadProgressListener* progress = nullptr) : progress_(progress) {}
    int sendFile(const UploadRequest& request) override;

private:
    int send(const UploadRequest& request);

    UploadProgressListener* progress_;
};

}  // namespace tessel
