#include "procedures/firmware_version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

namespace tessel {
namespace {

constexpr std::size_t kBufferSize = 20480;

std::optional<std::int32_t> VersionOf(const std::string& block) {
    std::array<char, kBufferSize> buffer{};
    std::copy_n(block.begin(), std::min(block.size(), buffer.size()), buffer.begin());
    return ReadFirmwareVersion(buffer);
}

TEST(FirmwareVersionTest, TheVersionBeforeTheResultTextIsRead) {
    EXPECT_EQ(VersionOf("  01.07.02  value = 0x0 = 0"), 10702);
    EXPECT_EQ(VersionOf("  01.07.00  value = 0x0 = 0"), 10700);
    EXPECT_EQ(VersionOf("  01.06.99  value = 0x0 = 0"), 10699);
    EXPECT_EQ(VersionOf("\r\n  2.10.5\r\nvalue = 0x0 = 0\r\n> "), 21005);
}

TEST(FirmwareVersionTest, AReplyWithoutTheResultTextIsVersion010000AndTheBufferHoldsTheFixedReply) {
    std::array<char, kBufferSize> buffer{};
    const std::string block = "value = 0x1 = 1 something else";
    std::copy(block.begin(), block.end(), buffer.begin());
    EXPECT_EQ(ReadFirmwareVersion(buffer), 10000);
    EXPECT_EQ(std::string(buffer.data()), "  01.00.00  value = 0x0 = 0");
    EXPECT_TRUE(std::all_of(buffer.begin() + 27, buffer.end(), [](char c) { return c == '\0'; }));
}

TEST(FirmwareVersionTest, TheDotNearestTheStartDecides) {
    // An echoed file name in front: its dot decides, and its text is no version.
    EXPECT_EQ(VersionOf("exec \"B:\\GetSysVer.wcr\"\r\n  01.07.02  value = 0x0 = 0"), std::nullopt);
    // More dots of a version line in front: the nearest to the start still decides.
    EXPECT_EQ(VersionOf("1.2.3 x 01.07.02  value = 0x0 = 0"), 10203);
    // One dot is passed over; with only one there is no version text.
    EXPECT_EQ(VersionOf("  1.5  value = 0x0 = 0"), std::nullopt);
    EXPECT_EQ(VersionOf("value = 0x0 = 0"), std::nullopt);
}

TEST(FirmwareVersionTest, TheWindowIsEightBytesFromTwoBeforeTheDecidingDot) {
    // The window begins at "23" of "123".
    EXPECT_EQ(VersionOf("  123.45.67  value = 0x0 = 0"), 234567);
}

TEST(FirmwareVersionTest, TheReplyTextEndsAtItsFirstZeroByte) {
    EXPECT_EQ(VersionOf(std::string("  01.07.02\0 value = 0x0 = 0", 27)), 10000);
}

TEST(FirmwareVersionTest, ADotAtPositionOneNeverReadsBeforeTheBuffer) {
    // The window would start at -1; it starts at the buffer's first byte instead.
    EXPECT_EQ(VersionOf("1.07.02  value = 0x0 = 0"), 10702);
    EXPECT_EQ(VersionOf("..x value = 0x0 = 0"), std::nullopt);
}

TEST(FirmwareVersionTest, AFullBufferWithoutAZeroIsReadWithinItsBounds) {
    std::array<char, kBufferSize> full;
    full.fill('.');
    EXPECT_EQ(ReadFirmwareVersion(full), 10000);
    const std::string reply = "  01.07.02  value = 0x0 = 0";
    full.fill('x');
    std::copy(reply.begin(), reply.end(), full.end() - static_cast<std::ptrdiff_t>(reply.size()));
    EXPECT_EQ(ReadFirmwareVersion(full), 10702);
}

}  // namespace
}  // namespace tessel
