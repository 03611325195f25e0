// A package built in process from a manifest with Japanese names, in a scratch folder, for tampering.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pack/finding.h"
#include "pack/package_build.h"
#include "pack/package_check.h"
#include "test_files.h"

namespace tessel::pack::test {

namespace fs = std::filesystem;
using tessel::test::ReadFileBytes;
using tessel::test::WriteFileBytes;

// The manifest's texts and names in UTF-8 and their code page 932 bytes.
inline const std::string kShowName = "表示.htm";  // 表 is 0x95 0x5C: its second byte is a backslash
inline const std::string kShowNameCp932 = "\x95\x5C\x8E\xA6.htm";
inline const std::string kMainName = "メイン.wcr";
inline const std::string kMainNameCp932 = "\x83\x81\x83\x43\x83\x93.wcr";

inline const std::string kManifest = R"(caption = "テスト更新"
firmware_version = "01.08.00"
script_version = "02.00.00"
move = false
key = 0xA5

[firmware]
image = "fw/kbteva.bin"
data = "fw/prism3.dat"
version_script = "fw/GetSysVer.wcr"

[[web]]
source = "web/表示.htm"
device_path = 'C:\www\表示.htm'

[[web]]
source = "web/main.wcr"
plain_name = "メイン.wcr"
scrambled_name = "s2.dat"
device_path = 'C:\www\control\main.wcr'
)";

// The lines of the management file built from kManifest: 1 #T#, 2 #F#, 3 #S#, 4 #M#, 5 and 6 #L#.
constexpr std::size_t kKeyLine = 4;
constexpr std::size_t kFirstEntryLine = 5;
constexpr std::size_t kSecondEntryLine = 6;

class PackFixture : public ::testing::Test {
public:
    void SetUp() override {
        work_ = tessel::test::MakeTempDir(std::string("pack-") +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
        source_ = work_ / "source";
        package_ = work_ / "package";
        fs::create_directories(source_ / "web");
        fs::create_directories(source_ / "fw");
        // The name is UTF-8, which a Windows path takes only when told.
        WriteFileBytes(source_ / "web" / fs::u8path(kShowName), "<p>\x95\x5C\x8E\xA6</p>\r\n");
        WriteFileBytes(source_ / "web/main.wcr", "Function main() {}\r\n");
        WriteFileBytes(source_ / "fw/kbteva.bin", "TESSEL FIRMWARE 01.08.00\n\x01\x02\x03");
        WriteFileBytes(source_ / "fw/prism3.dat", std::string(64, '\0'));
        WriteFileBytes(source_ / "fw/GetSysVer.wcr", "print(sysver());\n");
        WriteManifest(kManifest);
    }
    void TearDown() override { fs::remove_all(work_); }

    void WriteManifest(const std::string& text) { WriteFileBytes(source_ / "manifest.toml", text); }

    PackOutcome Build(const fs::path& into) {
        return BuildPackage((source_ / "manifest.toml").string(), into.string());
    }

    // Builds the package that the tests then tamper with.
    void BuildGood() {
        const PackOutcome outcome = Build(package_);
        ASSERT_TRUE(outcome.done) << Describe(outcome);
        ASSERT_TRUE(outcome.findings.empty()) << FindingsText(outcome.findings);
    }

    std::string Management() const { return ReadFileBytes(package_ / "UpDateMng.txt"); }
    void SetManagement(const std::string& text) const { WriteFileBytes(package_ / "UpDateMng.txt", text); }
    // The management file with its first occurrence of from replaced.
    void Replace(const std::string& from, const std::string& to) const {
        std::string text = Management();
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        SetManagement(text);
    }

    std::vector<Finding> Check(PackageScope scope = PackageScope::Whole) const {
        return CheckPackage(package_.string(), scope);
    }

    static std::string Describe(const PackOutcome& outcome) {
        std::string text;
        for (const std::string& error : outcome.errors) text += error + "\n";
        return text + FindingsText(outcome.findings);
    }

    fs::path work_;
    fs::path source_;
    fs::path package_;
};

// The findings hold one of this severity, file and line whose message holds the part.
inline ::testing::AssertionResult HasFinding(const std::vector<Finding>& findings, Severity severity,
                                             const std::string& file, std::size_t line, const std::string& part) {
    for (const Finding& finding : findings) {
        if (finding.severity == severity && finding.file == file && finding.line == line &&
            finding.message.find(part) != std::string::npos) {
            return ::testing::AssertionSuccess();
        }
    }
    return ::testing::AssertionFailure() << "no " << SeverityName(severity) << " \"" << part << "\" for " << file
                                         << " line " << line << " among:\n"
                                         << FindingsText(findings);
}

}  // namespace tessel::pack::test
