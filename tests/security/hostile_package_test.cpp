// Packages made to reach outside their folder, to block the updater or to exhaust it.
#include <string>

#include "attack_fixture.h"

namespace tessel::test {
namespace {

class HostilePackage : public AttackFixture {};

TEST_F(HostilePackage, ALinkedWebFileIsNotReadThroughItsLink) {
    MakePackage("--no-move");
    ReplaceWithLink("w001.dat", sentinel_ / "secret.txt");
    Shipped();
    StartDevice({});
    const CliRun run = Run("script");
    ExpectRefusedAndNothingTouched(run);
    EXPECT_NE(run.err.find("送信元ファイル異常"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("w001.dat"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(device_->Root() / "C:/www/index.htm"));
}

TEST_F(HostilePackage, ALinkedFirmwareImageIsNotUploaded) {
    MakePackage();
    ReplaceWithLink("kbteva.bin", sentinel_ / "secret.txt");
    Shipped();
    StartDevice({});
    const CliRun run = Run("firmware");
    ExpectRefusedAndNothingTouched(run);
    EXPECT_TRUE(run.err.starts_with("FTP送信エラー(自分側ファイルエラー)\n")) << run.err;
    EXPECT_NE(run.err.find("kbteva.bin"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(device_->Root() / "B:/kbteva.bin"));
}

// Plain names would have been written and deleted there, scrambled names read from there.
TEST_F(HostilePackage, NamesThatArePathsAreRefusedWithTheirLine) {
    const std::string outside = "../sentinel/victim.txt";
    StartDevice({});
    for (const auto& [from, to] : std::initializer_list<std::pair<std::string, std::string>>{
             {",index.htm,", "," + outside + ","},
             {"#L# w001.dat,", "#L# ../sentinel/secret.txt,"},
             {",index.htm,", "," + fs::absolute(sentinel_ / "victim.txt").string() + ","},
             {",index.htm,", ",..\\sentinel\\victim.txt,"}}) {
        SCOPED_TRACE(to);
        MakePackage("--no-move");
        ReplaceInManagement(from, to);
        Shipped();
        const CliRun run = Run("script");
        ExpectRefusedAndNothingTouched(run);
        EXPECT_TRUE(run.err.starts_with("アップデート管理ファイル異常\n")) << run.err;
        EXPECT_NE(run.err.find("UpDateMng.txt, line 5: "), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(device_->Root() / "C:/www/index.htm"));
        fs::remove_all(package_);
    }
}

// A FIFO would block the open for good; a device would be read without end.
TEST_F(HostilePackage, AFifoOrADeviceInThePackageEndsTheUpdateAtOnce) {
    MakePackage("--no-move");
    ReplaceWithFifo("w002.dat");
    ReplaceWithLink("w003.dat", "/dev/zero");
    Shipped();
    StartDevice({});
    CliRun run = Run("script");
    ExpectRefusedAndNothingTouched(run);
    EXPECT_NE(run.err.find("送信元ファイル異常"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("w002.dat"), std::string::npos) << run.err;

    ReplaceWithFifo("kbteva.bin");
    Shipped();
    run = Run("firmware");
    ExpectRefusedAndNothingTouched(run);
    EXPECT_TRUE(run.err.starts_with("FTP送信エラー(自分側ファイルエラー)\n")) << run.err;
}

TEST_F(HostilePackage, AManagementFileThatIsNoCodePage932TextIsRefused) {
    MakePackage("--no-move");
    const std::string original = Management();
    StartDevice({});
    for (const auto& [text, reason] : std::initializer_list<std::pair<std::string, std::string>>{
             {"\xEF\xBB\xBF" + original, "byte-order mark"},
             {std::string(2 * 1024 * 1024, '\n') + original, "larger than 1 MiB"},
             {original.substr(0, original.find("#M#")) + original.substr(original.find("#L#")), "key line"},
             {original + std::string("#\0L\0#\0", 6), "NUL byte"}}) {
        SCOPED_TRACE(reason);
        SetManagement(text);
        Shipped();
        const CliRun run = Run("script");
        ExpectRefusedAndNothingTouched(run);
        EXPECT_TRUE(run.err.starts_with("アップデート管理ファイル異常\n")) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(device_->Root() / "C:/www/index.htm"));
    }
}

TEST_F(HostilePackage, ControlBytesOfThePackageNeverReachTheTerminalRaw) {
    MakePackage();
    ReplaceInManagement("#T# ", "#T# \x1B]0;owned\x07\x1B[2J");
    fs::remove(package_ / "kbteva.bin");
    Shipped();
    StartDevice({});
    const CliRun run = Run("firmware");
    ExpectRefusedAndNothingTouched(run);
    EXPECT_EQ(run.out.find('\x1B'), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find('\x1B'), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("\\x1B]0;owned\\x07\\x1B[2J"), std::string::npos) << run.out;
    // A missing file is named on the line after the message.
    EXPECT_NE(run.err.find("\nfile: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("/package/kbteva.bin"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace tessel::test
