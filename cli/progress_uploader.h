// Draws a progress bar on the terminal while a file uploads, from the transfer library's progress
// counters, read by a second thread while the upload blocks the first.
#ifndef TESSEL_CLI_PROGRESS_UPLOADER_H
#define TESSEL_CLI_PROGRESS_UPLOADER_H

#include <ostream>

#include "platform/file_uploader.h"

namespace tessel::cli {

class ProgressUploader final : public FileUploader {
public:
    // Without a terminal (show false) the uploads run as they are.
    ProgressUploader(FileUploader& inner, std::ostream& out, bool show);
    int sendFile(const UploadRequest& request) override;

private:
    FileUploader& inner_;
    std::ostream& out_;
    bool show_;
};

// "name [#####-----]  50 %" for done of total blocks, width characters of bar.
std::string ProgressLine(const std::string& name, int done, int total, int width);

}  // namespace tessel::cli

#endif
