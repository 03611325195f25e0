#include "platform/skiffs/skiffs_uploader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ftp_server.h"

namespace tessel {
namespace {

using test::FtpServer;
using test::ReadFileBytes;
using test::WriteFileBytes;

class SkiffsUploaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = test::MakeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        server_ = std::make_unique<FtpServer>(dir_ / "device");
    }
    void TearDown() override {
        server_.reset();
        std::filesystem::remove_all(dir_);
    }

    // The request a procedure makes: binary, passive, no conversion, the local file with the given bytes.
    UploadRequest request(const std::string& bytes, const std::string& remotePath) const {
        const std::filesystem::path local = dir_ / "local.bin";
        WriteFileBytes(local, bytes);
        UploadRequest request;
        request.host = "127.0.0.1";
        request.user = server_->options().user;
        request.password = server_->options().password;
        request.port = server_->port();
        request.localPath = local.string();
        request.remotePath = remotePath;
        return request;
    }

    std::filesystem::path dir_;
    std::unique_ptr<FtpServer> server_;
    SkiffsUploader uploader_;
};

TEST_F(SkiffsUploaderTest, StoresTheFileInBinaryOverAPassiveConnection) {
    const std::string bytes("firmware\r\n\0\x1a\xff", 13);
    ASSERT_EQ(uploader_.sendFile(request(bytes, "B:\\kbteva.bin")), 0);
    EXPECT_EQ(ReadFileBytes(server_->root() / "B:" / "kbteva.bin"), bytes);
    bool passive = false;
    bool binary = false;
    for (const std::string& command : server_->Commands()) {
        passive = passive || command.starts_with("EPSV") || command.starts_with("PASV");
        binary = binary || command == "TYPE I";
    }
    EXPECT_TRUE(passive);
    EXPECT_TRUE(binary);
}

TEST_F(SkiffsUploaderTest, TheLibrarysCodesComeBackAsTheyAre) {
    UploadRequest wrongPassword = request("x", "B:\\a.bin");
    wrongPassword.password = "wrong";
    EXPECT_EQ(uploader_.sendFile(wrongPassword), kUploadNoConnection);

    UploadRequest missingLocal = request("x", "B:\\a.bin");
    missingLocal.localPath = (dir_ / "absent.bin").string();
    EXPECT_EQ(uploader_.sendFile(missingLocal), kUploadLocalFileError);

    EXPECT_EQ(uploader_.sendFile(request("x", "Z:\\a.bin")), kUploadRemoteError);
}

// The dialog accepts addresses of up to 72 bytes; the library takes host names of up to 63.
TEST_F(SkiffsUploaderTest, AnAddressLongerThanTheLibraryTakesIsItsArgumentErrorNotACutName) {
    for (const std::size_t length : {std::size_t{64}, std::size_t{72}}) {
        UploadRequest longHost = request("x", "B:\\a.bin");
        longHost.host = std::string(length - 10, 'a') + ".127.0.0.1";
        EXPECT_EQ(uploader_.sendFile(longHost), kUploadInvalidArgument) << length;
    }
    EXPECT_TRUE(server_->Commands().empty());
}

}  // namespace
}  // namespace tessel
