// Every fault the check reports, each made in a package that tessel-pack built right.
#include <sys/stat.h>

#include <functional>

#include "pack_fixture.h"
#include "readable_test_name.h"

namespace tessel::pack::test {
namespace {

const std::string kMng = "UpDateMng.txt";

class PackageCheck : public PackFixture {
protected:
    void SetUp() override {
        PackFixture::SetUp();
        BuildGood();
    }
};

TEST_F(PackageCheck, AWellMadePackageHasNoFindingInAnyScope) {
    for (const PackageScope scope : {PackageScope::Whole, PackageScope::Script, PackageScope::Firmware}) {
        EXPECT_TRUE(Check(scope).empty()) << FindingsText(Check(scope));
    }
}

struct Tampering {
    const char* what;
    std::function<void(const PackFixture&)> make;
    Severity severity;
    std::string file;
    std::size_t line;
    std::string part;
};

class PackageFault : public PackageCheck, public ::testing::WithParamInterface<Tampering> {};

TEST_P(PackageFault, IsReportedWithItsFileAndLine) {
    const Tampering& tampering = GetParam();
    tampering.make(*this);
    const std::vector<Finding> findings = Check();
    EXPECT_TRUE(HasFinding(findings, tampering.severity, tampering.file, tampering.line, tampering.part));
    EXPECT_EQ(HasErrors(findings), tampering.severity == Severity::Error) << FindingsText(findings);
}

void Remove(const PackFixture& p, const std::string& name) { fs::remove(p.package_ / name); }

// The line holding from, with from replaced.
std::function<void(const PackFixture&)> Replacing(std::string from, std::string to) {
    return [from, to](const PackFixture& p) { p.Replace(from, to); };
}

const std::string kEntry1 = "#L# w001.dat," + kShowNameCp932 + ",C:\\www\\" + kShowNameCp932;

INSTANTIATE_TEST_SUITE_P(
    ManagementFile, PackageFault,
    ::testing::Values(
        Tampering{"missing", [](const PackFixture& p) { Remove(p, "UpDateMng.txt"); }, Severity::Error, kMng, 0,
                  "the file is missing"},
        Tampering{"a folder",
                  [](const PackFixture& p) {
                      Remove(p, "UpDateMng.txt");
                      fs::create_directory(p.package_ / "UpDateMng.txt");
                  },
                  Severity::Error, kMng, 0, "not a regular file"},
        Tampering{"huge", [](const PackFixture& p) { p.SetManagement(std::string(1024 * 1024 + 1, '\n')); },
                  Severity::Error, kMng, 0, "larger than 1 MiB"},
        Tampering{"byte-order mark", [](const PackFixture& p) { p.SetManagement("\xEF\xBB\xBF" + p.Management()); },
                  Severity::Error, kMng, 1, "byte-order mark"},
        Tampering{"NUL", Replacing("#S#", std::string("#\0S#", 4)), Severity::Error, kMng, 3, "NUL byte"},
        Tampering{"not code page 932", Replacing("01.08.00", "\x81\x20\xFF"), Severity::Error, kMng, 2,
                  "not code page 932 text"},
        Tampering{"a key line that does not parse", Replacing("#M# A5", "#M# zz"), Severity::Error, kMng, kKeyLine,
                  "the key line does not parse"},
        Tampering{"a key line behind a blank", Replacing("#M# A5", " #M# A5"), Severity::Error, kMng, kKeyLine,
                  "the key line does not parse"},
        Tampering{"no key line", Replacing("#M# A5\r\n", ""), Severity::Error, kMng, 0, "no #M# key line"},
        Tampering{"a key over 8 bits", Replacing("#M# A5", "#M# 1A5"), Severity::Warning, kMng, kKeyLine,
                  "only its lowest 8 bits, A5, are used"},
        Tampering{"a second key", Replacing("#M# A5\r\n", "#M# A5\r\n#M# A5\r\n"), Severity::Warning, kMng,
                  kKeyLine + 1, "replaces the key of line 4"},
        Tampering{"Ctrl-Z before the end", Replacing("#L# s2.dat", "\x1A#L# s2.dat"), Severity::Warning, kMng,
                  kSecondEntryLine, "a Ctrl-Z ends the file here"},
        Tampering{"a header tag behind a blank", Replacing("#F#", " #F#"), Severity::Warning, kMng, 2,
                  "does not begin the line"},
        Tampering{"no blank after a tag", Replacing("#T# ", "#T#"), Severity::Warning, kMng, 1,
                  "loses its first character"},
        Tampering{"a second caption", Replacing("#F#", "#T# again\r\n#F#"), Severity::Warning, kMng, 2,
                  "replaces the #T# value of line 1"},
        Tampering{"an action that is not MOVE", Replacing("#M#", "#A# MOVE \r\n#M#"), Severity::Warning, kMng, kKeyLine,
                  "is not MOVE"},
        Tampering{"an entry tag inside another line", Replacing("#S# 02.00.00", "#S# 02.00.00 #L# a,b,C:\\www\\c"),
                  Severity::Error, kMng, 3, "the tag #L# does not begin the line"},
        Tampering{"two fields", Replacing(kEntry1, "#L# w001.dat,C:\\www\\x.htm"), Severity::Error, kMng,
                  kFirstEntryLine, "does not hold three fields"},
        Tampering{"more than 1000 files",
                  [](const PackFixture& p) {
                      std::string lines;
                      for (int i = 0; i < 1001; ++i) lines += "#L# s2.dat,p" + std::to_string(i) + ",C:\\www\\a\r\n";
                      p.Replace("#L# s2.dat", lines + "#L# s2.dat");
                  },
                  Severity::Error, kMng, kFirstEntryLine + 1000, "lists more than 1000 files"}),
    [](const auto& info) { return tessel::test::ReadableTestName(info.param.what); });

INSTANTIATE_TEST_SUITE_P(
    Entries, PackageFault,
    ::testing::Values(
        Tampering{"a field over its limit", Replacing("," + kMainNameCp932 + ",", "," + std::string(260, 'p') + ","),
                  Severity::Error, kMng, kSecondEntryLine, "bytes long, more than 259"},
        Tampering{"a device path over its limit", Replacing("C:\\www\\control\\main.wcr", "C:\\www\\" + std::string(260, 'd')),
                  Severity::Error, kMng, kSecondEntryLine, "the device path is 267 bytes long"},
        Tampering{"a plain name that is the folder itself", Replacing("," + kShowNameCp932 + ",", ",.,"), Severity::Error,
                  kMng, kFirstEntryLine, "\".\" is not a plain file name"},
        Tampering{"a plain name that is a path", Replacing("," + kShowNameCp932 + ",", ",../victim.txt,"),
                  Severity::Error, kMng, kFirstEntryLine, "is not a plain file name"},
        Tampering{"a scrambled name that is a path", Replacing("#L# s2.dat", "#L# /etc/passwd"), Severity::Error, kMng,
                  kSecondEntryLine, "the scrambled name \"/etc/passwd\" is not a plain file name"},
        Tampering{"an empty scrambled name", Replacing("#L# s2.dat", "#L# "), Severity::Error, kMng,
                  kSecondEntryLine, "the scrambled name is empty"},
        Tampering{"a plain name that is a file of the package", Replacing("," + kShowNameCp932 + ",", ",versions.txt,"),
                  Severity::Warning, kMng, kFirstEntryLine, "is also the name of a file of the package"},
        Tampering{"a plain name that is another entry's scrambled name", Replacing("," + kShowNameCp932 + ",", ",s2.dat,"),
                  Severity::Warning, kMng, kFirstEntryLine, "is also the name of a file of the package"},
        Tampering{"two entries with one plain name", Replacing("," + kMainNameCp932 + ",", "," + kShowNameCp932 + ","),
                  Severity::Error, kMng, kSecondEntryLine, "is also the plain name of line 5"},
        Tampering{"a device path on drive D:", Replacing("C:\\www\\control", "D:\\www\\control"), Severity::Error, kMng,
                  kSecondEntryLine, "is not a Windows path on drive C: or B:"},
        Tampering{"a device path with slashes", Replacing("C:\\www\\control\\main.wcr", "/www/control/main.wcr"),
                  Severity::Error, kMng, kSecondEntryLine, "is not a Windows path on drive C: or B:"},
        Tampering{"a device path with a wildcard", Replacing("main.wcr", "ma?n.wcr"), Severity::Error, kMng,
                  kSecondEntryLine, "a character that Windows refuses"},
        Tampering{"a device path that climbs", Replacing("C:\\www\\control", "C:\\www\\..\\control"), Severity::Error,
                  kMng, kSecondEntryLine, "\"..\""},
        Tampering{"a device path outside C:\\www", Replacing("C:\\www\\control", "B:\\control"), Severity::Warning,
                  kMng, kSecondEntryLine, "is outside C:\\www"},
        Tampering{"two entries for one device file", Replacing("C:\\www\\control\\main.wcr", "c:\\WWW\\" + kShowNameCp932),
                  Severity::Warning, kMng, kSecondEntryLine, "goes to the same device file as line 5"},
        Tampering{"a missing scrambled file", [](const PackFixture& p) { Remove(p, "s2.dat"); }, Severity::Error,
                  "s2.dat", kSecondEntryLine, "the file is missing"},
        Tampering{"a scrambled file that is a FIFO", [](const PackFixture& p) {
                      Remove(p, "s2.dat");
                      ::mkfifo((p.package_ / "s2.dat").c_str(), 0600);
                  }, Severity::Error, "s2.dat", kSecondEntryLine, "not a regular file"}),
    [](const auto& info) { return tessel::test::ReadableTestName(info.param.what); });

INSTANTIATE_TEST_SUITE_P(
    Folder, PackageFault,
    ::testing::Values(Tampering{"a missing firmware file", [](const PackFixture& p) { Remove(p, "prism3.dat"); },
                                Severity::Error, "prism3.dat", 0, "the firmware update needs it: the file is missing"},
                      Tampering{"a firmware image that is a link",
                                [](const PackFixture& p) {
                                    Remove(p, "kbteva.bin");
                                    fs::create_symlink(p.package_ / "prism3.dat", p.package_ / "kbteva.bin");
                                },
                                Severity::Error, "kbteva.bin", 0, "not a regular file"},
                      Tampering{"a file the list does not reference",
                                [](const PackFixture& p) { WriteFileBytes(p.package_ / "\x8C\xC3.dat", "old"); },
                                Severity::Warning, "古.dat", 0, "the list does not reference it"},
                      Tampering{"no VersionS.txt", [](const PackFixture& p) { Remove(p, "VersionS.txt"); },
                                Severity::Warning, "VersionS.txt", 0, "the script update goes on without it"}),
    [](const auto& info) { return tessel::test::ReadableTestName(info.param.what); });

TEST_F(PackageCheck, AComposedPathOverItsLimitIsReported) {
    // A folder so deep that the package's own names still fit but a longer one does not.
    fs::path deep = work_;
    while (deep.string().size() < 200) deep /= std::string(40, 'd');
    fs::create_directories(deep);
    fs::rename(package_, deep / "p");
    package_ = deep / "p";
    const std::string longName(60, 'n');
    Replace("#L# s2.dat", "#L# " + longName);
    const std::vector<Finding> findings = Check(PackageScope::Script);
    EXPECT_TRUE(HasFinding(findings, Severity::Error, kMng, kSecondEntryLine,
                           "the path of the scrambled name \"" + longName + "\" in the package is longer than 259"));
    EXPECT_EQ(CountFindings(findings, Severity::Error), 1u) << FindingsText(findings);
}

TEST_F(PackageCheck, AManagementFileBeyondThePathLimitIsReported) {
    fs::path deep = work_;
    while (deep.string().size() < 260) deep /= std::string(50, 'd');
    fs::create_directories(deep);
    EXPECT_TRUE(HasFinding(CheckPackage(deep.string(), PackageScope::Script), Severity::Error, kMng, 0,
                           "its path is longer than 259 bytes"));
}

TEST_F(PackageCheck, EveryFaultIsReportedAtOnceInTheOrderOfTheLines) {
    Replace("#M# A5", "#M# zz\r\n#M# A5");
    Replace("C:\\www\\control", "D:\\control");
    Remove(*this, "w001.dat");
    Remove(*this, "GetSysVer.wcr");
    const std::vector<Finding> findings = Check();
    ASSERT_EQ(findings.size(), 4u) << FindingsText(findings);
    EXPECT_EQ(FindingText(findings[0]),
              "UpDateMng.txt, line 4: error: the key line does not parse: it must begin "
              "with #M# and a hexadecimal number");
    EXPECT_EQ(FindingText(findings[1]), "w001.dat (UpDateMng.txt, line 6): error: the file is missing");
    EXPECT_TRUE(HasFinding(findings, Severity::Error, kMng, 7, "D:\\control\\main.wcr"));
    EXPECT_EQ(FindingText(findings[3]), "GetSysVer.wcr: error: the firmware update needs it: the file is missing");
}

TEST_F(PackageCheck, TheScopesLookAtTheirOwnFiles) {
    Remove(*this, "kbteva.bin");
    Remove(*this, "s2.dat");
    EXPECT_TRUE(HasFinding(Check(PackageScope::Firmware), Severity::Error, "kbteva.bin", 0, "missing"));
    EXPECT_EQ(Check(PackageScope::Firmware).size(), 1u);
    EXPECT_TRUE(HasFinding(Check(PackageScope::Script), Severity::Error, "s2.dat", kSecondEntryLine, "missing"));
    EXPECT_EQ(Check(PackageScope::Script).size(), 1u);
    // A package with no firmware file at all carries no firmware update; the firmware procedure needs all three.
    Remove(*this, "prism3.dat");
    Remove(*this, "GetSysVer.wcr");
    EXPECT_EQ(Check(PackageScope::Whole).size(), 1u) << FindingsText(Check());
    EXPECT_EQ(Check(PackageScope::Firmware).size(), 3u);
}

}  // namespace
}  // namespace tessel::pack::test
