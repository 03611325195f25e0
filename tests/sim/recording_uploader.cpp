#include "recording_uploader.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tessel::sim {
namespace {

std::optional<std::string> ReadRegularFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

int RecordingUploader::sendFile(const UploadRequest& request) {
    RecordedUpload upload{request, ReadRegularFile(request.localPath), 0};
    if (duringSend) duringSend(request);
    if (cancelled) {
        upload.result = kCancelledResult;
    } else if (!results.empty()) {
        upload.result = results.front();
        results.pop_front();
    } else if (answer) {
        upload.result = answer(request);
    } else {
        upload.result = upload.content ? kUploadOk : kUploadLocalFileError;
    }
    uploads.push_back(upload);
    return upload.result;
}

std::map<std::string, std::string> RecordingUploader::deviceFiles() const {
    std::map<std::string, std::string> files;
    for (const RecordedUpload& upload : uploads) {
        if (upload.result == 0 && upload.content) files[upload.request.remotePath] = *upload.content;
    }
    return files;
}

std::vector<std::string> RecordingUploader::remotePaths() const {
    std::vector<std::string> paths;
    for (const RecordedUpload& upload : uploads) paths.push_back(upload.request.remotePath);
    return paths;
}

}  // namespace tessel::sim
