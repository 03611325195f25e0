#include "platform/skiffs/skiffs_uploader.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "SkiffS/SkiffS.h"
#include "platform/skiffs/transfer_gate.h"

namespace tessel {

namespace {

// The core's names of the upload results are the library's codes.
constexpr bool SameCode(UploadResult core, SkiffResult library) { return static_cast<int>(core) == library; }
static_assert(SameCode(kUploadOk, SKIFF_OK));
static_assert(SameCode(kUploadInvalidArgument, SKIFF_INVALID_ARGUMENT));
static_assert(SameCode(kUploadNoConnection, SKIFF_NO_CONNECTION));
static_assert(SameCode(kUploadLocalFileError, SKIFF_LOCAL_FILE_ERROR));
static_assert(SameCode(kUploadRemoteError, SKIFF_REMOTE_ERROR));
static_assert(SameCode(kUploadTempCopyError, SKIFF_TEMP_COPY_ERROR));
static_assert(SameCode(kUploadNoMemory, SKIFF_NO_MEMORY));
static_assert(SameCode(kUploadHostBusy, SKIFF_HOST_BUSY));
static_assert(SameCode(kUploadNoJobEntry, SKIFF_NO_JOB_ENTRY));

// The library holds at most this many transfers at once in a process, and ends one more at once with
// SKIFF_NO_JOB_ENTRY. A fleet of more devices than that waits for a free one instead.
constexpr int kLibraryTransfers = 100;

TransferGate& LibraryTransfers() {
    static TransferGate gate(kLibraryTransfers);
    return gate;
}

}  // namespace

int SkiffsUploader::sendFile(const UploadRequest& request) {
    const TransferGate::Pass pass(LibraryTransfers(), cancelled_);
    if (!pass.held()) return kCancelledResult;
    {
        std::lock_guard lock(runningMutex_);
        if (cancelled_) return kCancelledResult;
        runningHost_ = request.host;
    }
    const int result = progress_ == nullptr ? send(request) : sendWatched(request);
    std::lock_guard lock(runningMutex_);
    runningHost_.clear();
    // The library ends a cancelled transfer as if it were complete.
    return cancelled_ ? kCancelledResult : result;
}

void SkiffsUploader::cancel() {
    {
        std::lock_guard lock(runningMutex_);
        cancelled_ = true;
        if (!runningHost_.empty()) Skiff_Cancel(runningHost_.c_str());
    }
    // An upload still waiting for a free transfer gives up.
    LibraryTransfers().wakeWaiting();
}

int SkiffsUploader::sendWatched(const UploadRequest& request) {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    // The upload blocks this thread; a second one reads the library's counters of the same host meanwhile.
    std::thread watcher([&] {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, std::chrono::milliseconds(100), [&] { return done; })) {
            int total = 0;
            int sent = 0;
            Skiff_GetStatus(request.host.c_str(), &total, &sent);
            if (total > 0) progress_->uploadProgress(request, sent, total);
        }
    });
    const int result = send(request);
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    finished.notify_one();
    watcher.join();
    progress_->uploadFinished(request);
    return result;
}

// The texts go as they are: the library checks their limits itself (a host longer than it takes is its
// argument error), so nothing is cut here.
int SkiffsUploader::send(const UploadRequest& request) {
    return CSkiffClient().Skiff_SendD(request.host.c_str(), request.user.c_str(), request.password.c_str(),
                                      request.port, request.transferMode, request.localPath.c_str(),
                                      request.remotePath.c_str(), request.passive, request.codeConversion);
}

}  // namespace tessel
