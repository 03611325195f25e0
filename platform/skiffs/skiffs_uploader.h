#pragma once

#include "platform/file_uploader.h"

namespace tessel {

// Uploads through the SkiffS library: one call of CSkiffClient::Skiff_SendD on a temporary client per file.
// The library makes the program's folder the current directory on every call.
class SkiffsUploader final : public FileUploader {
public:
    int sendFile(const UploadRequest& request) override;
};

}  // namespace tessel
