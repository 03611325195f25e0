// Ends a device's run from another thread: a deadline, or the fleet's second stop signal.
#pragma once

#include <mutex>

namespace tessel {
class FileUploader;
}

namespace tessel::cli {

class RunLoop;

class RunStop {
public:
    // From any thread: cancels the run's uploads and ends its event loop, now and for the rest of the run.
    void stop();

    // The run's own uploader and loop, while the run lives; a stop that came first reaches them at once.
    void attach(FileUploader& uploader, RunLoop& loop);
    void detach();

private:
    std::mutex mutex_;
    FileUploader* uploader_ = nullptr;
    RunLoop* loop_ = nullptr;
    bool stopped_ = false;
};

}  // namespace tessel::cli
