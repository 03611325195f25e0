// Listing lines in the forms that FTP servers and devices send, each with the entry it must give.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "ftp_listing.h"
#include "listing_property.h"

namespace skiffs {
namespace {

struct Case {
    std::string file;
    std::string line;
    // "skip", or name, size and kind separated by tabs.
    std::string expected;
};

std::vector<Case> ReadCorpus() {
    std::vector<Case> cases;
    for (const auto& entry : std::filesystem::directory_iterator(SKIFFS_LISTING_CORPUS)) {
        std::ifstream in(entry.path());
        std::string previous;
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("# ", 0) == 0) continue;
            if (line.rfind("= ", 0) == 0) {
                cases.push_back({entry.path().filename().string(), previous, line.substr(2)});
            }
            previous = line;
        }
    }
    return cases;
}

std::string Describe(const std::optional<ListingEntry>& e) {
    if (!e) return "skip";
    return e->name + "\t" + std::to_string(e->size) + "\t" + (e->directory ? "dir" : "file");
}

TEST(FtpListingCorpus, EveryServerLineGivesItsNameSizeAndKind) {
    const std::vector<Case> cases = ReadCorpus();
    ASSERT_GE(cases.size(), 30u);
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(ParseListingLine(c.line + "\r\n")), c.expected) << c.file << ": " << c.line;
    }
}

TEST(FtpListingCorpus, AListedFileIsFoundWhateverItsOwnerIsCalled) {
    const auto entries = ParseListing(
        "-rw-r--r--   1 may      may           700 Jun  1 09:15 prism3.dat\r\n"
        "-rw-r--r--   1 1000     2024          800 Jun  1 09:15 script.txt\r\n");
    ASSERT_TRUE(FindEntry(entries, "prism3.dat").has_value());
    EXPECT_EQ(FindEntry(entries, "prism3.dat")->size, 700u);
    ASSERT_TRUE(FindEntry(entries, "script.txt").has_value());
    EXPECT_EQ(FindEntry(entries, "script.txt")->size, 800u);
}

TEST(FtpListingCorpus, RenderedLinesOfEveryFormReadBack) {
    std::mt19937 random(20261208);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(8 + random() % 40, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 3 == 0 ? ' ' : 32 + random() % 224);
        const std::string failure = test::CheckRoundTrip(bytes);
        ASSERT_EQ(failure, "") << "input " << i;
    }
}

}  // namespace
}  // namespace skiffs
