// The progress bar of an upload, read from the transfer library by a second thread, against a slow
// real FTP server.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/progress_bar.h"
#include "ftp_server.h"
#include "platform/skiffs/skiffs_uploader.h"

namespace tessel::cli {
namespace {

UploadRequest RequestTo(const test::FtpServer& server, const std::filesystem::path& local, const std::string& remote) {
    UploadRequest request;
    request.host = "127.0.0.1";
    request.user = server.options().user;
    request.password = server.options().password;
    request.port = server.port();
    request.localPath = local.string();
    request.remotePath = remote;
    return request;
}

TEST(ProgressBar, GrowsWhileAFileUploadsAndGivesWayAtTheEnd) {
    const auto dir = test::MakeTempDir("progress-bar");
    test::FtpServer server(dir / "server", {.rate = 256 * 1024});
    const auto local = dir / "image.bin";
    test::WriteFileBytes(local, std::string(768 * 1024, 'x'));

    std::ostringstream out;
    ProgressBar bar(out);
    SkiffsUploader uploader(&bar);
    ASSERT_EQ(uploader.sendFile(RequestTo(server, local, "B:\\image.bin")), 0);

    const std::string shown = out.str();
    EXPECT_NE(shown.find("\rB:\\image.bin ["), std::string::npos) << shown;
    EXPECT_NE(shown.find('#'), std::string::npos) << shown;
    // The bar is cleared so that the next status line starts on a clean line.
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\033[K");
    std::filesystem::remove_all(dir);
}

TEST(ProgressBar, ClearsOnlyWhatItHasDrawn) {
    std::ostringstream out;
    ProgressBar bar(out);
    UploadRequest request;
    request.remotePath = "C:\\www\\index.htm";
    // An upload that ends before the first look leaves the terminal as it was.
    bar.uploadFinished(request);
    EXPECT_EQ(out.str(), "");
    bar.uploadProgress(request, 512, 1024);
    bar.uploadFinished(request);
    EXPECT_EQ(out.str(), "\rC:\\www\\index.htm [###############---------------] 50 %\r\033[K");
}

}  // namespace
}  // namespace tessel::cli
