#pragma once

#include <cstdint>
#include <string>

namespace tessel {

// What FileUploader::sendFile returns: the codes of the transfer library (SkiffS), with the same values,
// named for the core, which does not include the library.
enum UploadResult : int {
    kUploadOk = 0,
    kUploadInvalidArgument = -1,
    // The server cannot be reached or refused the login; also every upload after a cancel.
    kUploadNoConnection = -2,
    kUploadLocalFileError = -3,
    // The remote directory cannot be entered, or the server failed or stalled in the transfer.
    kUploadRemoteError = -4,
    kUploadTempCopyError = -5,
    kUploadNoMemory = -6,
    kUploadHostBusy = -7,
    kUploadNoJobEntry = -8,
};

// One synchronous single-file FTP upload. Texts are code page 932 byte strings.
struct UploadRequest {
    std::string host;
    std::string user;
    std::string password;
    std::uint16_t port = 21;
    int transferMode = 1;  // 1 binary
    std::string localPath;
    std::string remotePath;
    int passive = 1;
    int codeConversion = 0;
};

// Told how far an upload has come while sendFile blocks the thread that called it.
class UploadProgressListener {
public:
    virtual ~UploadProgressListener() = default;
    // From a thread of the uploader's own, about every 100 ms while the size is known.
    virtual void uploadProgress(const UploadRequest& request, int doneBlocks, int totalBlocks) = 0;
    // On the calling thread, after the last uploadProgress, whatever the result.
    virtual void uploadFinished(const UploadRequest& request) = 0;
};

class FileUploader {
public:
    virtual ~FileUploader() = default;
    // Blocks until the file has been sent or has failed; 0 on success, otherwise the library's error code.
    virtual int sendFile(const UploadRequest& request) = 0;
    // From any thread: stops the upload that runs now and refuses every later one of this uploader. None of them
    // ends as a success: the file did not arrive whole.
    virtual void cancel() = 0;
};

}  // namespace tessel
