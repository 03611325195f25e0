// tessel-pack and tessel-cli as programs: a package built from a manifest with Japanese names updates the
// simulated device to exactly its sources; show and unpack give back what went in; a broken package is
// refused before anything connects.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"

namespace tessel::test {
namespace {

// UTF-8 and code page 932 forms of the names: データ (8366 815B 835E), 状態 (8FF3 91D4).
const std::string kDataName = "データ.htm";
const std::string kDataNameCp932 = "\x83\x66\x81\x5B\x83\x5E.htm";
const std::string kStateName = "状態.wcr";
const std::string kStateNameCp932 = "\x8F\xF3\x91\xD4.wcr";

const std::string kManifest = R"(caption = "計測器の更新"
firmware_version = "01.09.00"
script_version = "03.00.00"
move = true
key = 0x3C

[firmware]
image = "fw/image.bin"
data = "fw/prism3.dat"
version_script = "fw/GetSysVer.wcr"

[[web]]
source = "web/データ.htm"
device_path = 'C:\www\データ.htm'

[[web]]
source = "web/script.wcr"
plain_name = "状態.wcr"
device_path = 'C:\www\control\状態.wcr'
)";

class PackRoundTrip : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        source_ = work_ / "source";
        fs::create_directories(source_ / "web");
        fs::create_directories(source_ / "fw");
        // The page is code page 932 text, as the device serves it.
        sources_["web/" + kDataName] = "<p>\x83\x66\x81\x5B\x83\x5E</p>\r\n" + std::string(3000, 'x');
        sources_["web/script.wcr"] = "Function main() { print(\"\x8F\xF3\x91\xD4\"); }\r\n";
        sources_["fw/image.bin"] = "TESSEL FIRMWARE 01.09.00\n" + std::string(5000, '\xC3');
        sources_["fw/prism3.dat"] = std::string(512, '\x01');
        sources_["fw/GetSysVer.wcr"] = "Function main() { print(\"version \", sysver()); }\n";
        for (const auto& [name, bytes] : sources_) WriteFileBytes(source_ / name, bytes);
        WriteFileBytes(source_ / "manifest.toml", kManifest);
    }

    void BuildPackage() {
        int status = -1;
        const std::string out =
            RunPack("build " + Quote((source_ / "manifest.toml").string()) + " " + Quote(package_.string()), &status);
        ASSERT_EQ(status, 0) << out;
        shipped_ = Snapshot(package_);
    }

    // The device paths of the sources, in the device's file system (code page 932 names).
    std::map<std::string, std::string> Installed() const {
        return {{"C:/www/" + kDataNameCp932, sources_.at("web/" + kDataName)},
                {"C:/www/control/" + kStateNameCp932, sources_.at("web/script.wcr")},
                {"B:/kbteva.bin", sources_.at("fw/image.bin")},
                {"B:/prism3.dat", sources_.at("fw/prism3.dat")},
                {"B:/GetSysVer.wcr", sources_.at("fw/GetSysVer.wcr")}};
    }

    fs::path source_;
    std::map<std::string, std::string> sources_;
};

TEST_F(PackRoundTrip, ABuiltPackageVerifiesAndUpdatesTheDeviceToExactlyItsSources) {
    BuildPackage();
    int status = -1;
    const std::string verified = RunPack("verify " + Quote(package_.string()), &status);
    EXPECT_EQ(status, 0) << verified;
    // No key is trusted here: the signature is not checked, and verify says so.
    EXPECT_TRUE(verified.starts_with("0 error(s), 0 warning(s)\nsignature: nothing was verified: no key is trusted"))
        << verified;

    StartDevice({"--firmware-version", "1.07.00"});
    CliRun run = Run("firmware");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Count(device_->Output(), "installed firmware 01.09.00"), 1);
    run = Run("script");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("計測器の更新"), std::string::npos) << run.out;
    for (const auto& [path, bytes] : Installed()) EXPECT_EQ(Device(path), bytes) << path;
    EXPECT_EQ(Device("C:/www/VersionS.txt"), "03.00.00\r\n");
    EXPECT_TRUE(Device("C:/www/control/spacer.gif").starts_with("GIF89a"));
    ExpectPackageAsShipped();
}

TEST_F(PackRoundTrip, ShowAndUnpackGiveBackWhatWentIn) {
    BuildPackage();
    int status = -1;
    const std::string shown = RunPack("show " + Quote(package_.string()) + " --json", &status);
    ASSERT_EQ(status, 0) << shown;
    const nlohmann::json show = nlohmann::json::parse(shown);
    EXPECT_EQ(show["caption"], "計測器の更新");
    EXPECT_EQ(show["firmware_version"], "01.09.00");
    EXPECT_EQ(show["script_version"], "03.00.00");
    EXPECT_EQ(show["move"], true);
    EXPECT_EQ(show["key"], 0x3C);
    ASSERT_EQ(show["files"].size(), 2u);
    const nlohmann::json& data = show["files"][0];
    EXPECT_EQ(data["plain_name"], kDataName);
    EXPECT_EQ(data["device_path"], "C:\\www\\" + kDataName);
    EXPECT_EQ(data["scrambled_name"], "w001.dat");
    EXPECT_EQ(data["size"], sources_["web/" + kDataName].size());
    // The digest of the plain bytes, as sha256sum tells it of the source.
    const std::string sum = RunCommand("sha256sum " + Quote((source_ / "web" / kDataName).string()));
    EXPECT_EQ(data["sha256"], sum.substr(0, 64));
    EXPECT_EQ(show["files"][1]["plain_name"], kStateName);
    EXPECT_EQ(show["firmware_files"][0]["declared_version"], "01.09.00");
    EXPECT_EQ(show["firmware_files"][1]["size"], 512);

    const std::string text = RunPack("show " + Quote(package_.string()), &status);
    EXPECT_NE(text.find("w001.dat -> " + kDataName + " -> C:\\www\\" + kDataName), std::string::npos) << text;

    const fs::path unpacked = work_ / "unpacked";
    const std::string out = RunPack("unpack " + Quote(package_.string()) + " " + Quote(unpacked.string()), &status);
    ASSERT_EQ(status, 0) << out;
    std::map<std::string, std::string> expected = Installed();
    expected["C:/www/VersionS.txt"] = shipped_["VersionS.txt"];
    expected["C:/www/control/spacer.gif"] = shipped_["spacer.gif"];
    EXPECT_EQ(Snapshot(unpacked), expected);
}

TEST_F(PackRoundTrip, ABrokenPackageIsRefusedBeforeAnyConnection) {
    BuildPackage();
    fs::remove(package_ / "w002.dat");
    const std::string state = ReadFileBytes(package_ / "UpDateMng.txt");
    WriteFileBytes(package_ / "UpDateMng.txt",
                   state.substr(0, state.find("#M#")) + "#M# xyz\r\n" + state.substr(state.find("#L#")));
    StartDevice({});

    CliRun run = RunArgs("script --check --package " + Quote(package_.string()));
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_NE(run.out.find("UpDateMng.txt, line 5: error: the key line does not parse"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("w002.dat (UpDateMng.txt, line 7): error: the file is missing"), std::string::npos)
        << run.out;
    // Without a key line that parses, the list would be refused as a whole.
    EXPECT_NE(run.out.find("UpDateMng.txt: error: lists files but has no #M# key line that parses"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("3 error(s)"), std::string::npos) << run.out;

    run = Run("script");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("tessel-cli: the package fails its check; nothing was sent to the device:\n"))
        << run.err;
    EXPECT_NE(run.err.find("line 7"), std::string::npos) << run.err;
    EXPECT_EQ(Count(device_->Output(), "connected from"), 0) << device_->Output();

    // The firmware files are all there: that procedure's check passes, and it connects to nothing either.
    run = Run("firmware", "admin", "--check");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(run.out.starts_with("0 error(s), 0 warning(s)\nsignature: nothing was verified: no key is trusted"))
        << run.out;
    EXPECT_EQ(Count(device_->Output(), "connected from"), 0) << device_->Output();

    int status = -1;
    const nlohmann::json verified =
        nlohmann::json::parse(RunPack("verify " + Quote(package_.string()) + " --json", &status));
    EXPECT_EQ(status, 1);
    EXPECT_EQ(verified["ok"], false);
    EXPECT_EQ(verified["errors"], 3);
    EXPECT_EQ(verified["findings"][1]["line"], nullptr);
    EXPECT_EQ(verified["findings"][2]["file"], "w002.dat");
    EXPECT_EQ(verified["findings"][2]["line"], 7);
}

}  // namespace
}  // namespace tessel::test
