// tessel-pack build: what a manifest makes, and what it refuses.
#include <map>

#include "dialog/cp932.h"
#include "dialog/update_management_file.h"
#include "pack_fixture.h"
#include "readable_test_name.h"

namespace tessel::pack::test {
namespace {

std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files[fs::relative(entry.path(), folder).string()] = entry.is_regular_file() ? ReadFileBytes(entry.path()) : "";
    }
    return files;
}

// The text with its first occurrence of from replaced.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string Xor(std::string bytes, char key) {
    for (char& c : bytes) c ^= key;
    return bytes;
}

using PackageBuild = PackFixture;

TEST_F(PackageBuild, TheManifestGivesTheManagementFileTheReadersExpectAndTheScrambledFiles) {
    const auto sources = Snapshot(source_);
    BuildGood();
    const std::string expected = "#T# " + *Utf8ToCp932("テスト更新") +
                                 "\r\n#F# 01.08.00\r\n#S# 02.00.00\r\n#M# A5\r\n"
                                 "#L# w001.dat," +
                                 kShowNameCp932 + ",C:\\www\\" + kShowNameCp932 +
                                 "\r\n"
                                 "#L# s2.dat," +
                                 kMainNameCp932 + ",C:\\www\\control\\main.wcr\r\n";
    EXPECT_EQ(Management(), expected);
    const auto package = Snapshot(package_);
    EXPECT_EQ(package.size(), 8u);
    EXPECT_EQ(package.at("w001.dat"), Xor(sources.at("web/" + kShowName), '\xA5'));
    EXPECT_EQ(package.at("s2.dat"), Xor(sources.at("web/main.wcr"), '\xA5'));
    EXPECT_EQ(package.at("VersionS.txt"), "02.00.00\r\n");
    EXPECT_TRUE(package.at("spacer.gif").starts_with("GIF89a\x01\x00\x01\x00"));
    EXPECT_EQ(package.at("kbteva.bin"), sources.at("fw/kbteva.bin"));
    EXPECT_EQ(package.at("prism3.dat"), sources.at("fw/prism3.dat"));
    EXPECT_EQ(package.at("GetSysVer.wcr"), sources.at("fw/GetSysVer.wcr"));

    UpdateHeader header;
    ASSERT_TRUE(ReadUpdateHeader(package_.string(), header));
    EXPECT_EQ(Cp932ToUtf8(header.caption), "テスト更新");
    EXPECT_EQ(header.moveFlag, 0);
    std::vector<UpdateFileEntry> list;
    std::uint8_t key = 0;
    ASSERT_EQ(ReadUpdateFileList(package_.string(), list, key), 0);
    EXPECT_EQ(key, 0xA5);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].plainName, kMainNameCp932);
    // Nothing beside the package was written, the sources included.
    EXPECT_EQ(Snapshot(source_), sources);
    // The two folders themselves, their files and nothing else.
    EXPECT_EQ(Snapshot(work_).size(), 2 + Snapshot(source_).size() + package.size());
}

TEST_F(PackageBuild, TheSameManifestAndSourcesGiveTheSameBytes) {
    BuildGood();
    ASSERT_TRUE(Build(work_ / "again").done);
    EXPECT_EQ(Snapshot(work_ / "again"), Snapshot(package_));
}

TEST_F(PackageBuild, MovePlainFilesAndNamesComeFromTheManifestWhenItGivesThem) {
    WriteFileBytes(source_ / "v.txt", "version 9\r\n");
    WriteFileBytes(source_ / "dot.gif", "GIF89a own");
    const std::string manifest =
        Replaced(kManifest, "move = false", "move = true\nversion_text = \"v.txt\"\nspacer = \"dot.gif\"");
    // An explicit name that a chosen one would take: the chosen one moves on.
    WriteManifest(Replaced(manifest, "scrambled_name = \"s2.dat\"", "scrambled_name = \"w001.dat\""));
    BuildGood();
    EXPECT_NE(Management().find("\r\n#A# MOVE\r\n"), std::string::npos);
    EXPECT_NE(Management().find("#L# w002.dat," + kShowNameCp932), std::string::npos) << Management();
    EXPECT_NE(Management().find("#L# w001.dat," + kMainNameCp932), std::string::npos) << Management();
    EXPECT_EQ(ReadFileBytes(package_ / "VersionS.txt"), "version 9\r\n");
    EXPECT_EQ(ReadFileBytes(package_ / "spacer.gif"), "GIF89a own");
}

TEST_F(PackageBuild, TheOutputFolderIsNewOrEmpty) {
    fs::create_directories(package_);
    WriteFileBytes(package_ / "old.txt", "old");
    PackOutcome outcome = Build(package_);
    EXPECT_FALSE(outcome.done);
    ASSERT_EQ(outcome.errors.size(), 1u);
    EXPECT_NE(outcome.errors[0].find("is not empty"), std::string::npos);
    EXPECT_EQ(Snapshot(package_).size(), 1u);

    fs::create_directories(work_ / "empty");
    EXPECT_TRUE(Build(work_ / "empty").done);
    fs::create_directory_symlink(work_ / "elsewhere", work_ / "link");
    fs::create_directories(work_ / "elsewhere");
    EXPECT_FALSE(Build(work_ / "link").done);
    EXPECT_TRUE(fs::is_empty(work_ / "elsewhere"));
    EXPECT_FALSE(Build(work_ / "missing" / "package").done);
    EXPECT_FALSE(fs::exists(work_ / "missing"));
}

TEST_F(PackageBuild, APackageThatFailsItsCheckIsTakenBack) {
    WriteManifest(Replaced(kManifest, "plain_name = \"メイン.wcr\"", "plain_name = \"表示.htm\""));
    fs::create_directories(package_);
    const PackOutcome outcome = Build(package_);
    EXPECT_FALSE(outcome.done);
    EXPECT_TRUE(HasFinding(outcome.findings, Severity::Error, "UpDateMng.txt", kSecondEntryLine,
                           "is also the plain name of line 5"));
    EXPECT_TRUE(fs::is_empty(package_));
    EXPECT_FALSE(Build(work_ / "fresh").done);
    EXPECT_FALSE(fs::exists(work_ / "fresh"));
}

struct ManifestFault {
    std::string what;
    std::string from;
    std::string to;
    std::string part;
};

class ManifestRefusal : public PackFixture, public ::testing::WithParamInterface<ManifestFault> {};

TEST_P(ManifestRefusal, WritesNothingAndSaysWhy) {
    WriteManifest(Replaced(kManifest, GetParam().from, GetParam().to));
    const PackOutcome outcome = Build(package_);
    EXPECT_FALSE(outcome.done);
    std::string errors;
    for (const std::string& error : outcome.errors) errors += error + "\n";
    EXPECT_NE(errors.find(GetParam().part), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(package_));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ManifestRefusal,
    ::testing::Values(
        ManifestFault{"An unknown key", "move = false", "move = false\ncolour = 1", "line 5: unknown key \"colour\""},
        ManifestFault{"No caption", "caption = \"テスト更新\"\n", "", "\"caption\" is missing"},
        ManifestFault{"A key over 255", "key = 0xA5", "key = 256", "\"key\" takes a number from 0 to 255"},
        ManifestFault{"A key that is text", "key = 0xA5", "key = \"A5\"", "\"key\" takes a number"},
        ManifestFault{"A move flag that is text", "move = false", "move = \"no\"", "\"move\" takes true or false"},
        ManifestFault{"A web entry without a device path", "device_path = 'C:\\www\\表示.htm'", "", "\"device_path\" is missing in the [[web]] table"},
        ManifestFault{"A line that does not parse", "key = 0xA5", "key = = 1", "line 5: "},
        ManifestFault{"A caption beyond code page 932", "テスト更新", "テスト😀", "caption \"テスト😀\" holds a character that code page 932 cannot hold"},
        ManifestFault{"A caption with a tag", "テスト更新", "テスト #L# a", "caption holds #L#"},
        ManifestFault{"A caption with a line break", "テスト更新", "a\\r\\n#L# x", "caption holds a control character"},
        ManifestFault{"A source above the manifest", "source = \"web/main.wcr\"", "source = \"../main.wcr\"", "below the manifest's folder"},
        ManifestFault{"An absolute source", "source = \"web/main.wcr\"", "source = \"/etc/hostname\"", "below the manifest's folder"},
        ManifestFault{"A missing source", "source = \"web/main.wcr\"", "source = \"web/gone.wcr\"", "\"web/gone.wcr\" cannot be read"},
        ManifestFault{"A plain name with a comma", "plain_name = \"メイン.wcr\"", "plain_name = \"a,b.wcr\"", "\"a,b.wcr\" holds a comma"},
        ManifestFault{"A plain name that is a path", "plain_name = \"メイン.wcr\"", "plain_name = \"sub/a.wcr\"", "is not a plain file name"},
        ManifestFault{"A device path on drive D", "'C:\\www\\control\\main.wcr'", "'D:\\main.wcr'", "is not a Windows path on drive C: or B:"},
        ManifestFault{"A scrambled name of another file", "scrambled_name = \"s2.dat\"", "scrambled_name = \"UpDateMng.txt\"",
                      "names another file of the package too"},
        ManifestFault{"A missing firmware image", "image = \"fw/kbteva.bin\"", "image = \"fw/none.bin\"", "firmware image \"fw/none.bin\""}),
    [](const auto& info) { return tessel::test::ReadableTestName(info.param.what); });

}  // namespace
}  // namespace tessel::pack::test
