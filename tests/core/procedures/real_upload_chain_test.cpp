#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "ftp_server.h"
#include "platform/skiffs/skiffs_uploader.h"
#include "sim_world.h"

namespace tessel::sim {
namespace {

// Whole updates on the simulated console whose files go through the real library to a real FTP server.
class RealUploadChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = test::MakeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        server_ = std::make_unique<test::FtpServer>(dir_ / "device");
        dialog_.InitDialog(world_.package.dir());
        world_.device.loginId = server_->options().user;
        world_.device.password = server_->options().password;
        world_.host.setControlText(kAddressEdit, "127.0.0.1");
        world_.host.setControlText(kFtpPortEdit, std::to_string(server_->port()));
        world_.host.setControlText(kLoginIdEdit, server_->options().user);
        world_.host.setControlText(kPasswordEdit, server_->options().password);
    }
    void TearDown() override {
        server_.reset();
        std::filesystem::remove_all(dir_);
    }
    std::string onDevice(const std::string& path) const {
        return test::ReadFileBytes(server_->root() / path);
    }

    std::filesystem::path dir_;
    std::unique_ptr<test::FtpServer> server_;
    SimWorld world_;
    SkiffsUploader uploader_;
    SimDialog dialog_{{world_.host, world_.host, world_.host, world_.network, uploader_, world_.observer}};
};

TEST_F(RealUploadChainTest, TheFirmwareFilesArriveOnDriveB) {
    dialog_.OnFirmwareButton();
    ASSERT_TRUE(world_.settle());
    EXPECT_EQ(world_.lastBox(), "ファームウェア・アップデートが終了しました。");
    for (const char* name : {"kbteva.bin", "prism3.dat", "GetSysVer.wcr"}) {
        EXPECT_EQ(onDevice(std::string("B:/") + name), world_.package.read(name)) << name;
    }
}

TEST_F(RealUploadChainTest, TheScriptUpdateStoresPlainFilesAndTheFixedFilesUnderCwww) {
    dialog_.setMoveFlag(1);
    const auto shipped = world_.package.snapshot();
    dialog_.OnScriptButton();
    ASSERT_TRUE(world_.settle());
    EXPECT_EQ(world_.lastBox(), "スクリプト・アップデートが終了しました。");
    for (const PackageEntry& entry : world_.package.entries) {
        std::string remote = entry.devicePath;
        std::replace(remote.begin(), remote.end(), '\\', '/');
        EXPECT_EQ(onDevice(remote), entry.plainBytes) << remote;
    }
    EXPECT_EQ(onDevice("C:/www/VersionS.txt"), world_.package.read("VersionS.txt"));
    EXPECT_EQ(onDevice("C:/www/control/spacer.gif"), world_.package.read("spacer.gif"));
    EXPECT_EQ(onDevice("B:/m_AutoScript.wcr").size(), 233u);
    EXPECT_EQ(world_.package.snapshot(), shipped);
}

}  // namespace
}  // namespace tessel::sim
