#include "code_converters.h"

#include <gtest/gtest.h>

#include <random>

namespace skiffs {
namespace {

Bytes B(std::initializer_list<int> bytes) {
    Bytes out;
    for (int b : bytes) out.push_back(static_cast<char>(b));
    return out;
}

// Every JIS X 0208 code position, as Shift-JIS.
std::vector<unsigned> AllShiftJisChars() {
    std::vector<unsigned> chars;
    for (unsigned row = 0x21; row <= 0x7E; ++row) {
        for (unsigned cell = 0x21; cell <= 0x7E; ++cell) chars.push_back(JisCharToShiftJis((row << 8) | cell));
    }
    return chars;
}

TEST(CodeConverters, ShiftJisToEucByteExamples) {
    EXPECT_EQ(ShiftJisToEuc(B({0x88, 0x9F})), B({0xB0, 0xA1}));
    EXPECT_EQ(ShiftJisToEuc(B({0xE0, 0x40})), B({0xDF, 0xA1}));
    EXPECT_EQ(ShiftJisToEuc(B({0xB1})), B({0x8E, 0xB1}));
    EXPECT_EQ(ShiftJisToEuc("abc"), "abc");
    // A trail byte outside both ranges, and a user-defined lead byte, give two zero bytes.
    EXPECT_EQ(ShiftJisToEuc(B({0x88, 0x20, 'x'})), B({0x00, 0x00, 'x'}));
    EXPECT_EQ(ShiftJisToEuc(B({0xF0, 0x40})), B({0x00, 0x00}));
}

TEST(CodeConverters, EucToShiftJisByteExamples) {
    EXPECT_EQ(EucToShiftJis(B({0xB0, 0xA1})), B({0x88, 0x9F}));
    EXPECT_EQ(EucToShiftJis(B({0x8E, 0xB1})), B({0xB1}));
    EXPECT_EQ(EucToShiftJis(B({0xDF, 0xA1})), B({0xE0, 0x40}));
    EXPECT_EQ(EucToShiftJis("plain"), "plain");
}

TEST(CodeConverters, ShiftJisToJisSwitchesModesWithEscapes) {
    // "A" and the character 0x88 0x9F (JIS 0x30 0x21): no escape back to ASCII at the end.
    EXPECT_EQ(ShiftJisToJis(B({'A', 0x88, 0x9F})), B({0x1B, '(', 'B', 'A', 0x1B, '$', 'B', 0x30, 0x21}));
    EXPECT_EQ(ShiftJisToJis(B({0x88, 0x9F, 0x88, 0x9F, 'z'})),
              B({0x1B, '$', 'B', 0x30, 0x21, 0x30, 0x21, 0x1B, '(', 'B', 'z'}));
    // Half-width katakana are copied as they are.
    EXPECT_EQ(ShiftJisToJis(B({0xB1})), B({0x1B, '(', 'B', 0xB1}));
}

TEST(CodeConverters, JisToShiftJisDropsTextBeforeFirstEscape) {
    EXPECT_EQ(JisToShiftJis(B({'l', 'o', 's', 't', 0x1B, '(', 'B', 'o', 'k'})), "ok");
    EXPECT_EQ(JisToShiftJis(B({0x1B, '$', 'B', 0x30, 0x21, 0x1B, '(', 'B', 'A'})), B({0x88, 0x9F, 'A'}));
    // An escape sequence at the very end writes nothing.
    EXPECT_EQ(JisToShiftJis(B({0x1B, '(', 'B', 'A', 0x1B, '$', 'B'})), "A");
    // A code without counterpart becomes two zero bytes.
    EXPECT_EQ(JisToShiftJis(B({0x1B, '$', 'B', 0x7F, 0x21})), B({0x00, 0x00}));
}

TEST(CodeConverters, EveryJisX0208CharacterSurvivesBothRoundTrips) {
    for (unsigned sjis : AllShiftJisChars()) {
        const Bytes ch = B({static_cast<int>(sjis >> 8), static_cast<int>(sjis & 0xFF)});
        ASSERT_EQ(EucToShiftJis(ShiftJisToEuc(ch)), ch) << std::hex << sjis;
        ASSERT_EQ(JisToShiftJis(ShiftJisToJis(ch)), ch) << std::hex << sjis;
        ASSERT_EQ(ShiftJisCharToJis(sjis) != 0, true) << std::hex << sjis;
    }
}

TEST(CodeConverters, CutOffCharactersStayWithinTheInput) {
    // A lone lead byte at the end reads its missing trail byte as 0: no counterpart.
    EXPECT_EQ(ShiftJisToEuc(B({'a', 0x88})), B({'a', 0x00, 0x00}));
    EXPECT_EQ(ShiftJisToJis(B({0x88})), B({0x1B, '$', 'B', 0x00, 0x00}));
    EXPECT_EQ(JisToShiftJis(B({0x1B, '$', 'B', 0x30})), B({0x00, 0x00}));
    EXPECT_EQ(EucToShiftJis(B({0x8E})), B({0x00}));
}

TEST(CodeConverters, ShiftJisToJisOutputMayExceedTwiceTheInput) {
    // Alternating single- and double-byte characters need four output bytes per input byte pair.
    Bytes in;
    for (int i = 0; i < 1000; ++i) in += B({'a', 0x88, 0x9F});
    const Bytes out = ShiftJisToJis(in);
    EXPECT_GT(out.size(), 2 * in.size());
    EXPECT_EQ(JisToShiftJis(out), in);
}

TEST(CodeConverters, RandomInputNeverBreaksTheConverters) {
    std::mt19937 random(1234);
    for (int round = 0; round < 2000; ++round) {
        Bytes in(random() % 64, '\0');
        for (char& c : in) c = static_cast<char>(random());
        for (int conversion = kConvertNone; conversion <= kEucToShiftJis; ++conversion) {
            const Bytes out = Convert(conversion, in);
            // At most four output bytes for every input byte, plus one escape sequence.
            EXPECT_LE(out.size(), 4 * in.size() + 3);
        }
    }
}

}  // namespace
}  // namespace skiffs
