// The console as the updater meets it: login, the version query, the firmware install and the script commands.
#include "console_client.h"
#include "devsim_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace tessel::test {
namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Reads the version as the updater does: back from "value = 0x0 = 0", past the first dot, the eight bytes from
// two before the dot nearest the start; -1 when that text is not three numbers.
int VersionAsUpdaterReadsIt(const std::string& reply) {
    const auto end = reply.find("value = 0x0 = 0");
    if (end == std::string::npos) return -1;
    std::string text;
    bool firstDot = true;
    for (auto i = end; i >= 1; --i) {
        if (reply[i] != '.') continue;
        if (firstDot) {
            firstDot = false;
        } else if (i >= 2) {
            text = reply.substr(i - 2, 8);
        }
    }
    int major = 0, minor = 0, patch = 0;
    if (std::sscanf(text.c_str(), "%d.%d.%d", &major, &minor, &patch) != 3) return -1;
    return major * 10000 + minor * 100 + patch;
}

class DevsimConsole : public ::testing::Test {
protected:
    void StartDevice(std::vector<std::string> options = {}) {
        device = std::make_unique<DevsimProcess>(std::move(options));
        ASSERT_TRUE(client.Connect(device->ConsolePort()));
        ASSERT_NE(client.Login().find(">"), std::string::npos);
    }

    std::string Exec(const std::string& devicePath) {
        client.SendLine("exec \"" + devicePath + "\"");
        return client.ReadUntil("> ");
    }

    void UploadVersionScript() {
        const auto local = device->Root().string() + ".GetSysVer.wcr";
        WriteFile(local, "Function main()\n{\nprint(\"firmware version \", sysver());\n}");
        ASSERT_TRUE(device->Upload(local, "B:/GetSysVer.wcr"));
        std::filesystem::remove(local);
    }

    void UploadImage(const std::string& bytes) {
        const auto local = device->Root().string() + ".kbteva.bin";
        WriteFile(local, bytes);
        ASSERT_TRUE(device->Upload(local, "B:/kbteva.bin"));
        std::filesystem::remove(local);
    }

    // Runs sysup to its end, answering the question with answer; returns everything after the question.
    std::string Sysup(const std::string& answer = "y") {
        client.SendLine("sysup \"B:\\kbteva.bin\"");
        EXPECT_NE(client.ReadUntil("[y/n]").find("[y/n]"), std::string::npos);
        client.SendLine(answer);
        return client.ReadUntil("> ");
    }

    std::unique_ptr<DevsimProcess> device;
    ConsoleClient client;
};

TEST_F(DevsimConsole, LoginAsksForThePasswordAndAnswersWithThePromptOrTheRejection) {
    DevsimProcess sim({"--login", "operator", "--password", "pw1"});
    ConsoleClient good;
    ASSERT_TRUE(good.Connect(sim.ConsolePort()));
    good.SendLine("operator");
    EXPECT_NE(good.ReadUntil("Password: ").find("Password: "), std::string::npos);
    good.SendLine("pw1");
    EXPECT_NE(good.ReadUntil(">").find(">"), std::string::npos);

    ConsoleClient bad;
    ASSERT_TRUE(bad.Connect(sim.ConsolePort()));
    bad.SendLine("operator");
    bad.ReadUntil("Password: ");
    bad.SendLine("wrong");
    const std::string reply = bad.ReadUntil("login: ");
    ASSERT_NE(reply.find("Login incorrect"), std::string::npos);
    EXPECT_EQ(reply.substr(0, reply.find("Login incorrect")).find('>'), std::string::npos);
    EXPECT_NE(bad.Login("operator", "pw1").find(">"), std::string::npos) << "a new attempt may follow";
}

TEST_F(DevsimConsole, VersionQueryReadsAsTheInstalledVersionAndSysupInstallsTheImageVersion) {
    StartDevice({"--firmware-version", "1.6.99", "--expansion-delay", "10"});
    UploadVersionScript();
    EXPECT_EQ(VersionAsUpdaterReadsIt(Exec("B:\\GetSysVer.wcr")), 10699);

    UploadImage("TESSEL FIRMWARE 01.07.02\n\x01\x02 image bytes");
    const std::string progress = Sysup();
    EXPECT_NE(progress.find("value = 0x0 = 0"), std::string::npos);
    EXPECT_EQ(progress.find("error"), std::string::npos);
    EXPECT_EQ(VersionAsUpdaterReadsIt(Exec("B:\\GetSysVer.wcr")), 10702);
}

TEST_F(DevsimConsole, SysupReportsAnErrorForAMissingOrForeignImageAndKeepsTheVersion) {
    StartDevice({"--firmware-version", "1.6.0", "--expansion-delay", "10"});
    UploadVersionScript();
    std::string reply = Sysup();
    EXPECT_NE(reply.find("error"), std::string::npos);
    EXPECT_EQ(reply.find("value = 0x0 = 0"), std::string::npos);

    UploadImage("not an image");
    reply = Sysup();
    EXPECT_NE(reply.find("error"), std::string::npos);
    EXPECT_EQ(VersionAsUpdaterReadsIt(Exec("B:\\GetSysVer.wcr")), 10600);
}

TEST_F(DevsimConsole, SysupFaultAndRefusalLeaveTheVersionAlone) {
    StartDevice({"--firmware-version", "1.6.0", "--sysup-error", "--expansion-delay", "10"});
    UploadVersionScript();
    UploadImage("TESSEL FIRMWARE 1.8.0\n");
    const std::string reply = Sysup();
    EXPECT_NE(reply.find("error"), std::string::npos);
    EXPECT_EQ(reply.find("value = 0x0 = 0"), std::string::npos);
    EXPECT_EQ(Sysup("n").find("value = 0x0 = 0"), std::string::npos);
    EXPECT_EQ(VersionAsUpdaterReadsIt(Exec("B:\\GetSysVer.wcr")), 10600);
}

TEST_F(DevsimConsole, LockOffScriptAndFolderCommand) {
    StartDevice();
    EXPECT_NE(Exec("C:\\www\\lockoff.wcr").find("value = 0x0 = 0"), std::string::npos);
    client.SendLine("mkdir \"AutoGetDt\"");
    EXPECT_NE(client.ReadUntil("> ").find("value = 0x0 = 0"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(device->Root() / "C:" / "AutoGetDt"));
    client.SendLine("mkdir \"AutoGetDt\"");
    EXPECT_EQ(client.ReadUntil("> ").find("value = 0x0 = 0"), std::string::npos) << "the folder exists";
    EXPECT_EQ(Exec("B:\\missing.wcr").find("value = 0x0 = 0"), std::string::npos);
}

}  // namespace
}  // namespace tessel::test
