#include <gtest/gtest.h>

#include <regex>
#include <thread>
#include <string>

#include "platform/os/clock.h"
#include "platform/os/files.h"
#include "platform/os/folders.h"
#include "platform/os/process.h"

namespace tessel::os {
namespace {

TEST(PrivateFolderTest, EachRunGetsAFreshFolderThatIsRemovedWithItsContent) {
    const std::optional<std::string> first = MakePrivateFolder();
    const std::optional<std::string> second = MakePrivateFolder();
    ASSERT_TRUE(first.has_value());
    ASSERT_TRUE(second.has_value());
    EXPECT_NE(*first, *second);
    EXPECT_EQ(first->rfind(TemporaryFolder(), 0), 0u) << *first;
    EXPECT_TRUE(IsLinkOrSpecialFile(*first));

    const std::string inner = JoinPath(*first, "inner");
    ASSERT_TRUE(MakeFolders(inner));
    ASSERT_TRUE(WriteNewFile(JoinPath(inner, "file"), "x"));
    ASSERT_TRUE(WriteNewFile(JoinPath(*first, "top"), "y"));
    RemoveFolderTree(*first);
    EXPECT_FALSE(IsLinkOrSpecialFile(*first));
    EXPECT_TRUE(MakeFolders(*first));
    RemoveFolderTree(*first);
    RemoveFolderTree(*first);
    EXPECT_FALSE(IsLinkOrSpecialFile(*first));

    EXPECT_TRUE(IsLinkOrSpecialFile(*second));
    RemoveFolderTree(*second);
}

TEST(ProgramPathTest, NamesTheRunningProgramsFile) {
    const std::string program = ProgramPath();
    ASSERT_FALSE(program.empty());
    EXPECT_NE(LastPathComponent(program).find("tessel_os_tests"), std::string::npos) << program;
    EXPECT_FALSE(IsLinkOrSpecialFile(program));
    const std::optional<std::string> bytes = ReadFileBytes(program, 512 * 1024 * 1024);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_GT(bytes->size(), 1024u);
}

TEST(UtcClockTest, TellsNowAsIso8601) {
    const std::string now = UtcNowIso8601();
    EXPECT_TRUE(std::regex_match(now, std::regex(R"(20[0-9]{2}-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-6][0-9]Z)")))
        << now;
}

TEST(ProcessThreadTagTest, DiffersBetweenThreads) {
    std::string other;
    std::thread([&other] { other = ProcessThreadTag(); }).join();
    EXPECT_FALSE(ProcessThreadTag().empty());
    EXPECT_EQ(ProcessThreadTag(), ProcessThreadTag());
    EXPECT_NE(ProcessThreadTag(), other);
}

}  // namespace
}  // namespace tessel::os
