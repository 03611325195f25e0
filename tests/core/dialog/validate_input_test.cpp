#include <gtest/gtest.h>

#include <string>

#include "sim_world.h"

namespace tessel::sim {
namespace {

class ValidateInputTest : public ::testing::Test {
protected:
    bool validate(const std::string& address, const std::string& id, const std::string& password,
                  const std::string& port = "21") {
        world.host.setControlText(kAddressEdit, address);
        world.host.setControlText(kLoginIdEdit, id);
        world.host.setControlText(kPasswordEdit, password);
        world.host.setControlText(kFtpPortEdit, port);
        return world.dialog.ValidateInput();
    }
    std::uint16_t port(const std::string& text) {
        EXPECT_TRUE(validate("h", "u", "p", text));
        return world.dialog.ftpPort();
    }

    SimWorld world;
};

// "あ" is two bytes in code page 932 and three in UTF-8: limits count the code page bytes.
std::string Kana(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "あ";
    return text;
}

TEST_F(ValidateInputTest, AddressMayHave72BytesNotMore) {
    EXPECT_TRUE(validate(std::string(72, 'a'), "u", "p"));
    EXPECT_EQ(world.dialog.address(), std::string(72, 'a'));
    EXPECT_TRUE(validate(Kana(36), "u", "p"));
    EXPECT_EQ(world.dialog.address().size(), 72u);

    EXPECT_FALSE(validate(std::string(73, 'a'), "u", "p"));
    EXPECT_EQ(world.lastBox(), "アドレス文字数オーバー");
    EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Warning);
    EXPECT_FALSE(validate(Kana(36) + "a", "u", "p"));
}

TEST_F(ValidateInputTest, LoginIdAndPasswordMayHave15BytesNotMore) {
    EXPECT_TRUE(validate("h", std::string(15, 'i'), Kana(7) + "p"));
    EXPECT_EQ(world.dialog.loginId(), std::string(15, 'i'));
    EXPECT_EQ(world.dialog.password(), "\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0p");

    EXPECT_FALSE(validate("h", Kana(8), "p"));
    EXPECT_EQ(world.lastBox(), "ログインID文字数オーバー");
    EXPECT_FALSE(validate("h", "u", std::string(16, 'p')));
    EXPECT_EQ(world.lastBox(), "パスワード文字数オーバー");
}

TEST_F(ValidateInputTest, FieldsBeforeTheFailingOneKeepTheirNewValues) {
    ASSERT_TRUE(validate("old", "oldid", "oldpw"));
    EXPECT_FALSE(validate("new", "newid", std::string(16, 'p')));
    EXPECT_EQ(world.dialog.address(), "new");
    EXPECT_EQ(world.dialog.loginId(), "newid");
    EXPECT_EQ(world.dialog.password(), "oldpw");
    EXPECT_EQ(world.host.boxes.size(), 1u);
}

TEST_F(ValidateInputTest, EmptyFieldsAreAccepted) {
    EXPECT_TRUE(validate("", "", ""));
    EXPECT_TRUE(world.host.boxes.empty());
}

TEST_F(ValidateInputTest, TextWithoutACodePage932FormIsRefused) {
    EXPECT_FALSE(validate("h", "u\xF0\x9F\x98\x80", "p"));
    EXPECT_EQ(world.lastBox(), "ログインIDに使用できない文字が含まれています");
    EXPECT_FALSE(validate("h\xFF", "u", "p"));
    EXPECT_EQ(world.lastBox(), "アドレスに使用できない文字が含まれています");
}

TEST_F(ValidateInputTest, FtpPortIsReadLikeADecimalNumberCutTo16Bits) {
    EXPECT_EQ(port("21"), 21);
    EXPECT_EQ(port("  2121x"), 2121);
    EXPECT_EQ(port("+8021"), 8021);
    EXPECT_EQ(port("ftp"), 0);
    EXPECT_EQ(port(""), 0);
    EXPECT_EQ(port("65557"), 21);
    EXPECT_EQ(port("-1"), 65535);
    // 2^64 + 21: far beyond every integer type, still its lowest 16 bits.
    EXPECT_EQ(port("18446744073709551637"), 21);
}

}  // namespace
}  // namespace tessel::sim
