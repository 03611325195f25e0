// The package gate at the update buttons: a refused package ends the press with the Japanese message that
// names what failed, before any upload or connection; an admitted one is read from the folder the gate
// gives.
#include <gtest/gtest.h>

#include <filesystem>

#include "sim_world.h"

namespace tessel::sim {
namespace {

class FakeGate final : public PackageGate {
public:
    PackageAdmission admit(const std::string& packageDirectory, UpdateProcedure procedure) override {
        asked.push_back({packageDirectory, procedure});
        return answer;
    }
    PackageAdmission answer;
    std::vector<std::pair<std::string, UpdateProcedure>> asked;
};

TEST(PackageGateTest, ARefusedPackageEndsThePressBeforeAnythingIsSent) {
    SimWorld world;
    FakeGate gate;
    gate.answer.admitted = false;
    gate.answer.refusal = PackageRefusal::FileChanged;
    gate.answer.subject = "w001.dat";
    gate.answer.detail = "w001.dat: changed after signing";
    world.dialog.SetPackageGate(&gate);
    world.dialog.OnFirmwareButton();
    EXPECT_EQ(world.lastBox(), "署名確認エラー\n署名後に変更されたファイルがあります(w001.dat)");
    ASSERT_NE(world.outcome(), nullptr);
    EXPECT_FALSE(world.outcome()->succeeded);
    EXPECT_EQ(world.outcome()->detail, "w001.dat: changed after signing");
    gate.answer.refusal = PackageRefusal::UntrustedKey;
    gate.answer.subject = "stranger";
    world.dialog.OnScriptButton();
    EXPECT_EQ(world.lastBox(), "署名確認エラー\n信頼されていない鍵で署名されています(stranger)");
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_EQ(world.network.socketsCreated(), 0);
    EXPECT_TRUE(world.dialog.calls.empty());
    ASSERT_EQ(gate.asked.size(), 2u);
    EXPECT_EQ(gate.asked[0].first, world.package.dir());
    EXPECT_EQ(gate.asked[0].second, UpdateProcedure::Firmware);
    EXPECT_EQ(gate.asked[1].second, UpdateProcedure::Script);
}

TEST(PackageGateTest, AnAdmittedPackageIsReadFromTheGatesFolder) {
    SimWorld world;
    const std::filesystem::path checked = std::filesystem::path(world.package.dir()) / "checked";
    std::filesystem::create_directories(checked);
    for (const char* name : {"kbteva.bin", "prism3.dat", "GetSysVer.wcr"}) {
        std::filesystem::copy_file(std::filesystem::path(world.package.dir()) / name, checked / name);
    }
    FakeGate gate;
    gate.answer.folder = checked.string();
    world.dialog.SetPackageGate(&gate);
    world.dialog.OnFirmwareButton();
    ASSERT_FALSE(world.uploader.uploads.empty());
    for (const RecordedUpload& upload : world.uploader.uploads) {
        EXPECT_EQ(std::filesystem::path(upload.request.localPath).parent_path(), checked) << upload.request.localPath;
    }
}

}  // namespace
}  // namespace tessel::sim
