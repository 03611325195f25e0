#include "SkiffS/SkiffS.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

using Arguments = SkiffsTest;

int SendWith(const char* host, const char* user, const char* password, int mode, const char* local,
             const char* remote, int passive, int conversion) {
    return CSkiffClient().Skiff_SendD(host, user, password, 21, mode, local, remote, passive, conversion);
}

TEST_F(Arguments, InvalidArgumentsAreRefusedBeforeTheServerIsContacted) {
    const std::string local = LocalFile("a.txt", "x");
    const char* l = local.c_str();
    const std::string longHost(64, 'h');
    const std::string longUser(256, 'u');
    const std::string longPassword(32, 'p');
    const std::string longPath(261, 'f');
    const std::string longEucName = "B:/" + std::string(130, '\xB1');  // 133 bytes, 263 in EUC-JP
    EXPECT_EQ(SendWith("", "u", "p", kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "", "p", kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, "", "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, l, "", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", 2, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, l, "r", 2, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, l, "r", 1, 5), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, l, "r", 1, -1), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith(longHost.c_str(), "u", "p", kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", longUser.c_str(), "p", kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", longPassword.c_str(), kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, l, longPath.c_str(), 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, longPath.c_str(), "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, l, longEucName.c_str(), 1, 2), SKIFF_INVALID_ARGUMENT);
    // A character without an EUC-JP form would cut the converted name short.
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, l, "B:/\xF0\x40.txt", 1, 2), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(CSkiffClient().Skiff_GetD("h", "u", "p", 21, kBinary, "B:/a\x88", l, 1, 4), SKIFF_INVALID_ARGUMENT);
    // Texts that would change the meaning of what is sent to the server.
    EXPECT_EQ(SendWith("h", "u\r\nDELE x", "p", kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p\nQUIT", kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h/x", "u", "p", kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("u@h", "u", "p", kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(SendWith("h", "u", "p", kBinary, l, "r\r\nDELE x", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(CSkiffClient().Skiff_SendD(nullptr, "u", "p", 21, kBinary, l, "r", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(CSkiffClient().Skiff_GetD("h", "u", "p", 21, kBinary, "r", "", 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(CSkiffClient().Skiff_GetD("h", "u", "p", 21, 3, "r", l, 1, 0), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(CSkiffClient().Skiff_GetD("h", "u", "p", 21, kBinary, "r", l, 1, 9), SKIFF_INVALID_ARGUMENT);
    EXPECT_EQ(server_->Commands().size(), 0u);
}

TEST_F(Arguments, PathsOfExactly260BytesAreAccepted) {
    const std::string dir = "C:/" + std::string(120, 'd');
    const std::string remote = dir + "/" + std::string(136, 'f');
    ASSERT_EQ(remote.size(), 260u);
    std::filesystem::create_directories(Remote(dir));
    ASSERT_EQ(Send(LocalFile("a.txt", "limit"), remote), 0);
    EXPECT_EQ(ReadFileBytes(Remote(remote)), "limit");
}

class EmptyPassword : public SkiffsTest {
    FtpServerOptions ServerOptions() const override { return {.user = "anon", .password = ""}; }
};

TEST_F(EmptyPassword, IsAccepted) {
    ASSERT_EQ(Send(LocalFile("a.txt", "open"), "B:\\a.txt"), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/a.txt")), "open");
}

}  // namespace
}  // namespace tessel::test
