#include "dialog/cp932.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(Cp932Test, RoundTripsJapaneseText) {
    const std::string text = "スクリプト・アップデート終了ー～";
    const auto encoded = Utf8ToCp932(text);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(encoded->substr(0, 2), "\x83\x58");
    EXPECT_EQ(Cp932ToUtf8(*encoded), text);
}

TEST(Cp932Test, UnmappableAndMalformedTextIsReported) {
    EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80").has_value());
    EXPECT_FALSE(Utf8ToCp932("\xC3").has_value());
    EXPECT_EQ(Cp932ToUtf8("a\xA0z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(Cp932ToUtf8("ab\x82"), "ab\xEF\xBF\xBD");
}

}  // namespace
}  // namespace tessel
