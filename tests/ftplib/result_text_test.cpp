#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "SkiffS/SkiffS.h"

namespace {

constexpr SkiffResult kEveryResult[] = {
    SKIFF_OK,           SKIFF_INVALID_ARGUMENT, SKIFF_NO_CONNECTION, SKIFF_LOCAL_FILE_ERROR,
    SKIFF_REMOTE_ERROR, SKIFF_TEMP_COPY_ERROR,  SKIFF_NO_MEMORY,     SKIFF_HOST_BUSY,
    SKIFF_NO_JOB_ENTRY};

TEST(ResultText, TheCodesKeepTheirValues) {
    // Programs built against earlier versions compare the plain numbers.
    const int values[] = {0, -1, -2, -3, -4, -5, -6, -7, -8};
    for (std::size_t i = 0; i < std::size(kEveryResult); ++i) EXPECT_EQ(kEveryResult[i], values[i]);
}

TEST(ResultText, EveryCodeHasATextOfItsOwn) {
    std::set<std::string> texts;
    for (const SkiffResult code : kEveryResult) {
        const char* text = Skiff_ResultText(code);
        ASSERT_NE(text, nullptr) << code;
        EXPECT_GT(std::strlen(text), 0u) << code;
        EXPECT_TRUE(texts.insert(text).second) << "shared text for " << code << ": " << text;
    }
}

TEST(ResultText, AnUnknownCodeGetsATextThatNoKnownCodeHas) {
    std::set<std::string> known;
    for (const SkiffResult code : kEveryResult) known.insert(Skiff_ResultText(code));
    for (const int code : {1, -9, 12003, -2147483647 - 1}) {
        const char* text = Skiff_ResultText(code);
        ASSERT_NE(text, nullptr) << code;
        EXPECT_GT(std::strlen(text), 0u) << code;
        EXPECT_EQ(known.count(text), 0u) << code;
    }
}

}  // namespace
