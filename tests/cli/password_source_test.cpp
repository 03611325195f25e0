// Where tessel-cli takes the password from, and that non-ASCII text arrives as UTF-8 from every source (the
// device then receives it in code page 932, as the dialog's fields are sent).
#include "cli/password_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/terminal.h"
#include "cli/utf8_path.h"
#include "platform/os/process.h"

namespace tessel::cli {
namespace {

namespace fs = std::filesystem;

// std::cin reads text for as long as the object lives.
class InputText {
public:
    explicit InputText(const std::string& text) : text_(text), saved_(std::cin.rdbuf(text_.rdbuf())) {}
    ~InputText() { std::cin.rdbuf(saved_); }
    std::string rest() { return std::string(std::istreambuf_iterator<char>(std::cin), {}); }

private:
    std::istringstream text_;
    std::streambuf* saved_;
};

class PasswordSource : public ::testing::Test {
protected:
    void SetUp() override {
        if (os::EnvironmentVariable("TESSEL_PASSWORD")) GTEST_SKIP() << "TESSEL_PASSWORD is set for the tests";
        folder_ = fs::temp_directory_path() / ("tessel-password-" + os::ProcessThreadTag());
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        if (!folder_.empty()) fs::remove_all(folder_, ignored);
    }
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return TextOf(path);
    }

    fs::path folder_;
};

TEST_F(PasswordSource, CommandLineThenFileThenEnvironmentEachAsUtf8) {
    std::string error;
    CliOptions options;
    options.password = "given";
    options.passwordGiven = true;
    options.passwordFile = WriteFile("first.txt", "from-file\n");
    EXPECT_EQ(ResolvePassword(options, PipedPassword::Ignore, error), "given");

    // The file's first line without its line end, also a Windows one; the rest of the file is not the password.
    options.passwordGiven = false;
    options.passwordFile = WriteFile("japanese.txt", "ファイルの合言葉\r\nsecond line\n");
    EXPECT_EQ(ResolvePassword(options, PipedPassword::Ignore, error), "ファイルの合言葉");
    options.passwordFile = WriteFile("empty-line.txt", "\nsecond line\n");
    EXPECT_EQ(ResolvePassword(options, PipedPassword::Ignore, error), "");

    options.passwordFile = TextOf(folder_ / "missing.txt");
    EXPECT_FALSE(ResolvePassword(options, PipedPassword::Ignore, error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;

    // Characters outside the system's ANSI code page (1252 on an English Windows) come through whole.
    options.passwordFile.clear();
    os::SetProcessEnvironment("TESSEL_PASSWORD", "環境のパスワード");
    error.clear();
    EXPECT_EQ(ResolvePassword(options, PipedPassword::Read, error), "環境のパスワード");
    os::SetProcessEnvironment("TESSEL_PASSWORD", "Kennwort-ä");
    EXPECT_EQ(ResolvePassword(options, PipedPassword::Read, error), "Kennwort-ä");
    os::UnsetProcessEnvironment("TESSEL_PASSWORD");
    EXPECT_FALSE(os::EnvironmentVariable("TESSEL_PASSWORD"));
}

TEST_F(PasswordSource, InputThatIsNoTerminalGivesItsFirstLineWhereAPasswordIsNeeded) {
    if (InputIsTerminal()) GTEST_SKIP() << "the tests' input is a terminal, on which a prompt would wait";
    const CliOptions options;
    std::string error;
    {
        // Read no further than the line end: what follows stays for whoever reads next.
        InputText input("パイプの合言葉\r\nnext line\n");
        EXPECT_EQ(ResolvePassword(options, PipedPassword::Read, error), "パイプの合言葉");
        EXPECT_EQ(input.rest(), "next line\n");
    }
    {
        InputText input("no line end");
        EXPECT_EQ(ResolvePassword(options, PipedPassword::Read, error), "no line end");
    }
    {
        // A fleet does not wait on its input.
        InputText input("unread\n");
        error.clear();
        EXPECT_FALSE(ResolvePassword(options, PipedPassword::Ignore, error));
        EXPECT_NE(error.find("no password"), std::string::npos) << error;
        EXPECT_EQ(input.rest(), "unread\n");
    }
    {
        InputText input("");
        error.clear();
        EXPECT_FALSE(ResolvePassword(options, PipedPassword::Read, error));
        EXPECT_NE(error.find("no password"), std::string::npos) << error;
    }
    {
        // A first line of 4096 bytes is a password; one byte more is not, and is not read to its end.
        InputText longest(std::string(4096, 'x') + "\r\n");
        EXPECT_EQ(ResolvePassword(options, PipedPassword::Read, error), std::string(4096, 'x'));
        InputText tooLong(std::string(4097, 'y') + "\nnext");
        error.clear();
        EXPECT_FALSE(ResolvePassword(options, PipedPassword::Read, error));
        EXPECT_NE(error.find("longer than 4096 bytes"), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace tessel::cli
