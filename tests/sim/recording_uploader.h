#pragma once

#include <deque>
#include <vector>

#include "platform/file_uploader.h"

namespace tessel::sim {

// Records every upload; answers with the queued results, then with 0.
class RecordingUploader final : public FileUploader {
public:
    int sendFile(const UploadRequest& request) override {
        requests.push_back(request);
        if (results.empty()) return 0;
        const int result = results.front();
        results.pop_front();
        return result;
    }

    std::vector<UploadRequest> requests;
    std::deque<int> results;
};

}  // namespace tessel::sim
