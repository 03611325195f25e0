#include <windows.h>

#include <optional>
#include <string>

#include "platform/os/code_page_932.h"
#include "platform/os/folders.h"
#include "scratch_folder.h"

namespace tessel::os {
namespace {

// Sets (or with nullptr removes) an environment variable of the process for the scope.
class EnvironmentOverride {
public:
    EnvironmentOverride(const wchar_t* name, const wchar_t* value) : name_(name) {
        wchar_t saved[32768];
        const DWORD length = ::GetEnvironmentVariableW(name, saved, 32768);
        if (length > 0 && length < 32768) saved_ = std::wstring(saved, length);
        ::SetEnvironmentVariableW(name, value);
    }
    ~EnvironmentOverride() { ::SetEnvironmentVariableW(name_, saved_ ? saved_->c_str() : nullptr); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> saved_;
};

using Win32FilesTest = ScratchFolder;

TEST_F(Win32FilesTest, PathsUseTheBackslashAndUtf8Names) {
    EXPECT_EQ(JoinPath("C:\\a", "b"), "C:\\a\\b");
    EXPECT_EQ(LastPathComponent("C:\\a/b\\c"), "c");
    EXPECT_EQ(LastPathComponent("C:/a/b"), "b");
    // A UTF-8 name reaches the file system as the same characters.
    const std::string japanese = path("更新ファイル.bin");
    ASSERT_TRUE(WriteNewFile(japanese, "data"));
    EXPECT_EQ(ReadFileBytes(japanese, 1024), "data");
    const std::wstring wide = std::wstring(folder_.begin(), folder_.end()) + L"\\\x66F4\x65B0\x30D5\x30A1\x30A4\x30EB.bin";
    EXPECT_NE(::GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Win32FilesTest, ExclusiveCreateAndReplaceHoldWhileAnotherHandleReads) {
    ASSERT_TRUE(WriteNewFile(path("entry"), "old"));
    ASSERT_TRUE(WriteNewFile(path("entry.new"), "new"));
    EXPECT_TRUE(ReplaceFileAtomically(path("entry.new"), path("entry")));
    EXPECT_FALSE(WriteNewFile(path("entry"), "again"));
    EXPECT_EQ(ReadFileBytes(path("entry"), 1024), "new");
}

TEST(Win32FoldersTest, StateAndRuntimeFoldersLieInLocalAppData) {
    {
        EnvironmentOverride local(L"LOCALAPPDATA", L"C:\\Users\\operator\\AppData\\Local");
        EXPECT_EQ(StateFolder(), "C:\\Users\\operator\\AppData\\Local\\Tessel");
        EXPECT_EQ(RuntimeFolder(), "C:\\Users\\operator\\AppData\\Local\\Tessel\\run");
    }
    {
        EnvironmentOverride local(L"LOCALAPPDATA", L"AppData");
        EXPECT_EQ(StateFolder(), "");
    }
    EnvironmentOverride local(L"LOCALAPPDATA", nullptr);
    EXPECT_EQ(StateFolder(), "");
    EXPECT_EQ(RuntimeFolder(), "");
}

TEST(Win32FoldersTest, ProgramPathIsTheExecutable) {
    const std::string program = ProgramPath();
    ASSERT_GT(program.size(), 4u);
    EXPECT_EQ(program.substr(program.size() - 4), ".exe");
    EXPECT_EQ(program[1], ':') << program;
}

TEST(Win32CodePage932Test, SystemTableGivesTheIbmRowForNecSelectedCharacters) {
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\xEE\xE0")), "\xFB\xFC");
    EXPECT_EQ(Utf8ToCp932("\xEF\xBF\xA2"), "\x81\xCA");
}

}  // namespace
}  // namespace tessel::os
