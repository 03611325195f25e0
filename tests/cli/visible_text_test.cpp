#include "cli/visible_text.h"

#include <gtest/gtest.h>

namespace tessel::cli {
namespace {

TEST(VisibleText, ControlCharactersBecomeEscapesAndTextStays) {
    EXPECT_EQ(VisibleText("\x1B]0;title\x07\x1B[2J"), "\\x1B]0;title\\x07\\x1B[2J");
    EXPECT_EQ(VisibleText("a\rb\tc\x7F"), "a\\x0Db\\x09c\\x7F");
    EXPECT_EQ(VisibleText(std::string("nul\0end", 7)), "nul\\x00end");
    // C1 controls in UTF-8 (CSI is U+009B); other two-byte characters starting with C2 stay.
    EXPECT_EQ(VisibleText("\xC2\x9B" "2J \xC2\xA9"), "\\u009B2J \xC2\xA9");
    EXPECT_EQ(VisibleText("通信エラー\nIPアドレス"), "通信エラー\nIPアドレス");
    // A lone C2 at the end is no control.
    EXPECT_EQ(VisibleText("x\xC2"), "x\xC2");
}

TEST(VisibleText, BidirectionalOverridesBecomeEscapesAndOtherPunctuationStays) {
    EXPECT_EQ(VisibleText("gol\xE2\x80\xAEtxt.exe"), "gol\\u202Etxt.exe");
    EXPECT_EQ(VisibleText("\xE2\x80\x8F\xE2\x81\xA6" "x\xE2\x81\xA9"), "\\u200F\\u2066x\\u2069");
    // An en dash (U+2013) and an ellipsis (U+2026) share the lead bytes and stay.
    EXPECT_EQ(VisibleText("a\xE2\x80\x93" "b\xE2\x80\xA6"), "a\xE2\x80\x93" "b\xE2\x80\xA6");
}

TEST(Utf8Prefix, CutsBetweenCharactersOnly) {
    EXPECT_EQ(Utf8Prefix("サイト7", 4), "サ");
    EXPECT_EQ(Utf8Prefix("サイト7", 6), "サイ");
    EXPECT_EQ(Utf8Prefix("abc", 10), "abc");
    EXPECT_EQ(Utf8Prefix("abc", 2), "ab");
}

}  // namespace
}  // namespace tessel::cli
