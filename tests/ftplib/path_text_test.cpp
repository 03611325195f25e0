#include "path_text.h"

#include <gtest/gtest.h>

namespace skiffs {
namespace {

TEST(SeparatorConversion, BackslashesBecomeSlashes) {
    EXPECT_EQ(BackslashesToSlashes("B:\\m_AutoScript.wcr"), "B:/m_AutoScript.wcr");
    EXPECT_EQ(BackslashesToSlashes("C:\\www\\control\\a.htm"), "C:/www/control/a.htm");
    EXPECT_EQ(BackslashesToSlashes("plain.txt"), "plain.txt");
}

TEST(SeparatorConversion, TrailByte0x5CInsideADoubleByteCharacterStays) {
    // 0x95 0x5C is one Shift-JIS character; the backslash after it is a separator.
    const std::string path = "C:\\\x95\x5C\\x";
    EXPECT_EQ(BackslashesToSlashes(path), "C:/\x95\x5C/x");
    // Half-width katakana (0xA1-0xDF) are single bytes: the backslash after one converts.
    EXPECT_EQ(BackslashesToSlashes("\xB1\\y"), "\xB1/y");
    // A lead byte at the very end steps over nothing past the string.
    EXPECT_EQ(BackslashesToSlashes("a\\\x88"), "a/\x88");
}

}  // namespace
}  // namespace skiffs
