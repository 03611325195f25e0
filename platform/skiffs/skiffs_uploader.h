#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "platform/file_uploader.h"

namespace tessel {

// Uploads through the SkiffS library: one call of CSkiffClient::Skiff_SendD on a temporary client per file.
// The library makes the program's folder the current directory on every call. Uploaders share the library's
// 100 transfers of a process: an upload beyond them waits until one is free (or until a cancel).
class SkiffsUploader final : public FileUploader {
public:
    // With a listener, the library's progress counters are read while each file uploads.
    explicit SkiffsUploader(UploadProgressListener* progress = nullptr) : progress_(progress) {}
    int sendFile(const UploadRequest& request) override;

    // From any thread: stops the running upload before its next block and refuses every later one. Each ends
    // with kCancelledResult, never as a success: the file did not arrive whole.
    void cancel() override;
    static constexpr int kCancelledResult = kUploadNoConnection;

private:
    int send(const UploadRequest& request);
    int sendWatched(const UploadRequest& request);

    UploadProgressListener* progress_;
    std::atomic<bool> cancelled_{false};
    std::mutex runningMutex_;
    // The host of the upload that blocks the calling thread; empty when none runs.
    std::string runningHost_;
};

}  // namespace tessel
