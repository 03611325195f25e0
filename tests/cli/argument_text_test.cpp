#include "cli/argument_text.h"

#include <gtest/gtest.h>

namespace tessel::cli {
namespace {

TEST(ArgumentTextTest, WellFormedTextStaysAsItIs) {
    EXPECT_EQ(ArgumentText("admin"), "admin");
    EXPECT_EQ(ArgumentText("\xE8\xA1\xA8\xE7\xA4\xBA \xF0\x9F\x98\x80"), "\xE8\xA1\xA8\xE7\xA4\xBA \xF0\x9F\x98\x80");
    EXPECT_EQ(ArgumentText(""), "");
}

TEST(ArgumentTextTest, EachByteOutsideAWellFormedSequenceBecomesTheReplacementCharacter) {
    // A CP932 byte pair typed on a terminal of the wrong encoding.
    EXPECT_EQ(ArgumentText("\x95\x5C"), "\xEF\xBF\xBD\\");
    // A cut sequence at the end, an overlong form and an encoded surrogate.
    EXPECT_EQ(ArgumentText("a\xE8\xA1"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(ArgumentText("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(ArgumentText("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace tessel::cli
