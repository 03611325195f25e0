// The generated autoscript scripts, uploaded by FTP and run on the console, move the device's start-up script
// aside and back.
#include "console_client.h"
#include "devsim_process.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tessel::test {
namespace {

const std::string kHead = "Function main()\n{\nsetexport(2, 1);\nputexport(2, 1);\n"
                          "var fd=fileopen(\"C:\\system\\\\autoscript.wcr\", \"r\");\n";
const std::string kMoveAside = kHead +
                               "if(fd>=0){filedelete(\"C:\\system\\\\autoscript.bak\");\n"
                               "filerename(\"C:\\system\\\\autoscript.wcr\",\"autoscript.bak\");}\n"
                               "putexport(2, 0);\n}";
const std::string kRestore = kHead +
                             "if(fd<0)filerename(\"C:\\system\\\\autoscript.bak\",\"autoscript.wcr\");\n"
                             "else filedelete(\"C:\\system\\\\autoscript.bak\");\n"
                             "putexport(2, 0);\n}";

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DevsimAutoscript : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(kMoveAside.size(), 231u);
        ASSERT_EQ(kRestore.size(), 233u);
        ASSERT_TRUE(client.Connect(device.ConsolePort()));
        ASSERT_NE(client.Login().find(">"), std::string::npos);
    }

    // Uploads the script as B:\m_AutoScript.wcr, runs it and returns the console's reply.
    std::string Run(const std::string& script) {
        const auto local = device.Root().string() + ".m_AutoScript.wcr";
        std::ofstream(local, std::ios::binary) << script;
        EXPECT_TRUE(device.Upload(local, "B:/m_AutoScript.wcr"));
        std::filesystem::remove(local);
        client.SendLine("exec \"B:\\m_AutoScript.wcr\"");
        return client.ReadUntil("> ");
    }

    std::filesystem::path Script() const { return device.Root() / "C:" / "system" / "autoscript.wcr"; }
    std::filesystem::path Backup() const { return device.Root() / "C:" / "system" / "autoscript.bak"; }

    DevsimProcess device;
    ConsoleClient client;
};

TEST_F(DevsimAutoscript, MoveAsideReplacesTheBackupAndRestorePutsTheScriptBack) {
    const std::string original = ReadFile(Script());
    ASSERT_FALSE(original.empty()) << "a fresh device has a start-up script";
    std::ofstream(Backup(), std::ios::binary) << "old backup";

    EXPECT_NE(Run(kMoveAside).find("value = 0x0 = 0"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Script()));
    EXPECT_EQ(ReadFile(Backup()), original);

    EXPECT_NE(Run(kRestore).find("value = 0x0 = 0"), std::string::npos);
    EXPECT_EQ(ReadFile(Script()), original);
    EXPECT_FALSE(std::filesystem::exists(Backup()));
}

TEST_F(DevsimAutoscript, MoveAsideWithoutAScriptChangesNothingAndRestoreDropsAStaleBackup) {
    std::filesystem::remove(Script());
    std::ofstream(Backup(), std::ios::binary) << "backup";
    EXPECT_NE(Run(kMoveAside).find("value = 0x0 = 0"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Script()));
    EXPECT_EQ(ReadFile(Backup()), "backup");

    std::ofstream(Script(), std::ios::binary) << "new script";
    EXPECT_NE(Run(kRestore).find("value = 0x0 = 0"), std::string::npos);
    EXPECT_EQ(ReadFile(Script()), "new script");
    EXPECT_FALSE(std::filesystem::exists(Backup()));
}

TEST_F(DevsimAutoscript, AScriptWithASyntaxErrorReportsAFailureValueAndChangesNothing) {
    const std::string original = ReadFile(Script());
    const std::string reply = Run("Function main()\n{\nfilerename(\"C:\\system\\\\autoscript.wcr\",\"x\")\n}");
    EXPECT_EQ(reply.find("value = 0x0 = 0"), std::string::npos);
    EXPECT_NE(reply.find("value = 0xffffffff = -1"), std::string::npos);
    EXPECT_EQ(ReadFile(Script()), original);
}

}  // namespace
}  // namespace tessel::test
