#include "platform/os/code_page_932.h"

#include <gtest/gtest.h>

namespace tessel::os {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

// Encodes, checks the bytes, and decodes back to the same text.
void ExpectRoundTrip(const std::string& utf8, const std::string& cp932) {
    const std::optional<std::string> encoded = Utf8ToCp932(utf8);
    ASSERT_TRUE(encoded.has_value()) << utf8;
    EXPECT_EQ(*encoded, cp932) << utf8;
    EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
}

TEST(CodePage932Test, RoundTripsAsciiKanaAndKanji) {
    ExpectRoundTrip("", "");
    ExpectRoundTrip("B:\\prism3.dat ~", "B:\\prism3.dat ~");
    ExpectRoundTrip("アップデート", "\x83\x41\x83\x62\x83\x76\x83\x66\x81\x5B\x83\x67");
    ExpectRoundTrip("漢字", "\x8A\xBF\x8E\x9A");
    ExpectRoundTrip("～", "\x81\x60");
}

TEST(CodePage932Test, TrailBytes5CStayPartOfTheirCharacter) {
    ExpectRoundTrip("表", "\x95\x5C");
    ExpectRoundTrip("ソ", "\x83\x5C");
    ExpectRoundTrip("能", "\x94\x5C");
    ExpectRoundTrip("表\\ソ\\能", "\x95\x5C\x5C\x83\x5C\x5C\x94\x5C");
}

TEST(CodePage932Test, HalfWidthKatakanaAreSingleBytes) {
    ExpectRoundTrip("ｱｲｳｴｵ", "\xB1\xB2\xB3\xB4\xB5");
    ExpectRoundTrip("｡ﾟ", "\xA1\xDF");
}

TEST(CodePage932Test, NecAndIbmExtensionsConvert) {
    ExpectRoundTrip("①Ⅰ㈱", "\x87\x40\x87\x54\x87\x8A");
    ExpectRoundTrip("髙", "\xFB\xFC");
    ExpectRoundTrip("纊", "\xFA\x5C");
    // The NEC-selected copy of an IBM character reads as that character and is written in the IBM row.
    EXPECT_EQ(Cp932ToUtf8("\xED\x40"), "纊");
}

TEST(CodePage932Test, CharactersWithoutAFormOfTheirOwnAreRefused) {
    // No best fit: the yen sign is not 0x5C, the wave dash is not the full-width tilde.
    EXPECT_FALSE(Utf8ToCp932("\xC2\xA5").has_value());
    EXPECT_FALSE(Utf8ToCp932("a\xC2\xA5").has_value());
    EXPECT_FALSE(Utf8ToCp932("〜").has_value());
    EXPECT_FALSE(Utf8ToCp932("한").has_value());
    EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80").has_value());
    // Not UTF-8.
    EXPECT_FALSE(Utf8ToCp932("\xC3").has_value());
    EXPECT_FALSE(Utf8ToCp932("\x95\x5C").has_value());
}

TEST(CodePage932Test, EachInvalidByteBecomesOneReplacementCharacter) {
    EXPECT_EQ(Cp932ToUtf8("ab\x82"), std::string("ab") + kReplacement);
    EXPECT_EQ(Cp932ToUtf8("\x82"), kReplacement);
    EXPECT_EQ(Cp932ToUtf8("\x82 x"), std::string(kReplacement) + " x");
    EXPECT_EQ(Cp932ToUtf8("a\xA0z"), std::string("a") + kReplacement + "z");
    EXPECT_EQ(Cp932ToUtf8("\x80\xFD\xFE\xFF"), std::string(kReplacement) + kReplacement + kReplacement + kReplacement);
    EXPECT_EQ(Cp932ToUtf8("\x95\x5C\x82"), std::string("表") + kReplacement);
}

}  // namespace
}  // namespace tessel::os
