#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_uploader.h"

namespace tessel::sim {

struct RecordedUpload {
    UploadRequest request;
    // The local file's bytes at the time of the call; nullopt when it could not be read.
    std::optional<std::string> content;
    int result = 0;
};

// Records every upload with the bytes it would send. The result of a call is the next queued one, else what
// `answer` says, else kUploadOk for a readable local file and kUploadLocalFileError for any other. Once
// cancel() has come, the call it interrupts and every later one end with kCancelledResult instead.
class RecordingUploader final : public FileUploader {
public:
    int sendFile(const UploadRequest& request) override;
    void cancel() override { cancelled = true; }
    static constexpr int kCancelledResult = kUploadNoConnection;

    // Successful uploads by remote path, the latest one winning: what the device holds.
    std::map<std::string, std::string> deviceFiles() const;
    std::vector<std::string> remotePaths() const;

    std::vector<RecordedUpload> uploads;
    std::deque<int> results;
    std::function<int(const UploadRequest&)> answer;
    // Runs while the call blocks, after the file was read: a test can move the clock or have the device talk.
    std::function<void(const UploadRequest&)> duringSend;
    std::atomic<bool> cancelled{false};
};

}  // namespace tessel::sim
