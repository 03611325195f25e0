// Packages made to reach outside their folder, to block the updater or to exhaust it: the check that runs
// before every update refuses each of them, with the file and line at fault, before anything connects. (The
// updater's own refusal of each is tested on the simulated world in tests/core.)
#include <string>

#include "attack_fixture.h"

namespace tessel::test {
namespace {

const std::string kRefused = "tessel-cli: the package fails its check; nothing was sent to the device:\n";

class HostilePackage : public AttackFixture {
protected:
    // Refused by the check with this finding, and the device never reached.
    void ExpectRefusedBeforeConnecting(const CliRun& run, const std::string& finding) {
        ExpectRefusedAndNothingTouched(run);
        EXPECT_TRUE(run.err.starts_with(kRefused)) << run.err;
        EXPECT_NE(run.err.find(finding), std::string::npos) << run.err;
        EXPECT_EQ(Count(device_->Output(), "connected from"), 0) << device_->Output();
    }
};

TEST_F(HostilePackage, ALinkedWebFileIsNotReadThroughItsLink) {
    MakePackage(/*moveAside=*/false);
    ReplaceWithLink("w001.dat", sentinel_ / "secret.txt");
    Shipped();
    StartDevice({});
    const CliRun run = Run("script");
    ExpectRefusedBeforeConnecting(run, "w001.dat (UpDateMng.txt, line 5): error: not a regular file");
    EXPECT_FALSE(fs::exists(device_->Root() / "C:/www/index.htm"));
}

TEST_F(HostilePackage, ALinkedFirmwareImageIsNotUploaded) {
    MakePackage();
    ReplaceWithLink("kbteva.bin", sentinel_ / "secret.txt");
    Shipped();
    StartDevice({});
    const CliRun run = Run("firmware");
    ExpectRefusedBeforeConnecting(run, "kbteva.bin: error: the firmware update needs it: not a regular file");
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
             {",index.htm,", ",..\\sentinel\\victim.txt,"},
             {",index.htm,", ",.,"}}) {
        SCOPED_TRACE(to);
        MakePackage(/*moveAside=*/false);
        ReplaceInManagement(from, to);
        Shipped();
        const CliRun run = Run("script");
        ExpectRefusedBeforeConnecting(run, "UpDateMng.txt, line 5: error: ");
        EXPECT_NE(run.err.find("is not a plain file name"), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(device_->Root() / "C:/www/index.htm"));
        fs::remove_all(package_);
    }
}

// A FIFO would block the open for good; a device would be read without end.
TEST_F(HostilePackage, AFifoOrADeviceInThePackageEndsTheUpdateAtOnce) {
    MakePackage(/*moveAside=*/false);
    ReplaceWithFifo("w002.dat");
    ReplaceWithLink("w003.dat", "/dev/zero");
    Shipped();
    StartDevice({});
    CliRun run = Run("script");
    ExpectRefusedBeforeConnecting(run, "w002.dat (UpDateMng.txt, line 6): error: not a regular file");
    EXPECT_NE(run.err.find("w003.dat (UpDateMng.txt, line 7): error: not a regular file"), std::string::npos)
        << run.err;

    ReplaceWithFifo("kbteva.bin");
    Shipped();
    run = Run("firmware");
    ExpectRefusedBeforeConnecting(run, "kbteva.bin: error: the firmware update needs it: not a regular file");
}

TEST_F(HostilePackage, AManagementFileThatIsNoCodePage932TextIsRefused) {
    MakePackage(/*moveAside=*/false);
    const std::string original = Management();
    StartDevice({});
    for (const auto& [text, reason] : std::initializer_list<std::pair<std::string, std::string>>{
             {"\xEF\xBB\xBF" + original, "UpDateMng.txt, line 1: error: starts with a byte-order mark"},
             {std::string(2 * 1024 * 1024, '\n') + original, "UpDateMng.txt: error: larger than 1 MiB"},
             {original.substr(0, original.find("#M#")) + original.substr(original.find("#L#")),
              "UpDateMng.txt: error: lists files but has no #M# key line that parses"},
             {original + std::string("#\0L\0#\0", 6), "UpDateMng.txt, line 8: error: holds a NUL byte"}}) {
        SCOPED_TRACE(reason);
        SetManagement(text);
        Shipped();
        const CliRun run = Run("script");
        ExpectRefusedBeforeConnecting(run, reason);
        EXPECT_FALSE(fs::exists(device_->Root() / "C:/www/index.htm"));
    }
}

TEST_F(HostilePackage, ControlBytesOfThePackageNeverReachTheTerminalRaw) {
    MakePackage();
    ReplaceInManagement("#T# ", "#T# \x1B]0;owned\x07\x1B[2J");
    Shipped();
    StartDevice({});
    CliRun run = Run("firmware", "wrong");
    ExpectRefusedAndNothingTouched(run);
    EXPECT_EQ(run.out.find('\x1B'), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find('\x1B'), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("\\x1B]0;owned\\x07\\x1B[2J"), std::string::npos) << run.out;

    // The check quotes a name it refuses, made visible as well.
    ReplaceInManagement(",index.htm,", ",\x1B[2Jindex.htm,");
    Shipped();
    run = Run("script");
    ExpectRefusedBeforeConnecting(run, "UpDateMng.txt, line 6: error: the plain name \"\\x1B[2Jindex.htm\"");
    EXPECT_EQ(run.out.find('\x1B'), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find('\x1B'), std::string::npos) << run.err;
}

// A package without its firmware image is refused by name before anything is sent.
TEST_F(HostilePackage, AMissingFirmwareFileIsNamedBeforeAnythingConnects) {
    MakePackage();
    fs::remove(package_ / "kbteva.bin");
    Shipped();
    StartDevice({});
    const CliRun run = Run("firmware");
    ExpectRefusedBeforeConnecting(run, "kbteva.bin: error: the firmware update needs it: the file is missing");
    EXPECT_FALSE(fs::exists(device_->Root() / "B:/prism3.dat"));
}

}  // namespace
}  // namespace tessel::test
