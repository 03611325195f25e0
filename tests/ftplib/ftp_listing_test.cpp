#include "ftp_listing.h"

#include <gtest/gtest.h>

namespace skiffs {
namespace {

TEST(FtpListing, UnixLinesGiveNameSizeAndKind) {
    const auto entries = ParseListing(
        "total 12\r\n"
        "-rw-r--r--   1 owner    group        1500 Jan  5 12:00 prism3.dat\r\n"
        "drwxr-xr-x   2 owner    group        4096 Dec 31  2025 www\r\n"
        "-rw-r--r--   1 owner                   7 Feb 10 09:15 no group.txt\r\n"
        "lrwxrwxrwx   1 owner    group          11 Mar  1 08:00 link -> target.bin\n"
        "-rw-r--r--   1 owner    group  99999999999999999999999 Mar  1 08:00 huge\n");
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].name, "prism3.dat");
    EXPECT_EQ(entries[0].size, 1500u);
    EXPECT_FALSE(entries[0].directory);
    EXPECT_EQ(entries[1].name, "www");
    EXPECT_TRUE(entries[1].directory);
    EXPECT_EQ(entries[2].name, "no group.txt");
    EXPECT_EQ(entries[2].size, 7u);
    EXPECT_EQ(entries[3].name, "link");
    EXPECT_EQ(entries[4].size, UINT64_MAX);
}

TEST(FtpListing, DosLinesGiveNameSizeAndKind) {
    const auto entries = ParseListing(
        "12-07-26  09:30PM       <DIR>          control\r\n"
        "12-07-26  09:31PM                 2048 Version S.txt\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].directory);
    EXPECT_EQ(entries[0].name, "control");
    EXPECT_EQ(entries[1].name, "Version S.txt");
    EXPECT_EQ(entries[1].size, 2048u);
}

TEST(FtpListing, LinesOfNeitherFormArePassedOver) {
    for (const char* line : {"", "   ", "total 0", "garbage", "-rw-r--r-- 1 a b c", "-rw-r--r-- 1 a b 12 Jan",
                             "12-07-26 09:30PM", "12-07-26 09:30PM abc name", "drwxr-xr-x 1 a b 1 Foo 1 1 x"}) {
        EXPECT_FALSE(ParseListingLine(line).has_value()) << line;
    }
}

TEST(FtpListing, FindEntryIgnoresAsciiCaseAndTakesTheFirstMatch) {
    const auto entries = ParseListing(
        "-rw-r--r-- 1 o g 1 Jan 1 00:00 Data.BIN\n"
        "-rw-r--r-- 1 o g 2 Jan 1 00:00 data.bin\n"
        "-rw-r--r-- 1 o g 3 Jan 1 00:00 \x88\x9F.txt\n");
    ASSERT_TRUE(FindEntry(entries, "DATA.bin").has_value());
    EXPECT_EQ(FindEntry(entries, "DATA.bin")->size, 1u);
    // Bytes other than ASCII letters must match exactly.
    EXPECT_TRUE(FindEntry(entries, "\x88\x9F.TXT").has_value());
    EXPECT_FALSE(FindEntry(entries, "\x88\xBF.txt").has_value());
    EXPECT_FALSE(FindEntry(entries, "data.bi").has_value());
}

}  // namespace
}  // namespace skiffs
