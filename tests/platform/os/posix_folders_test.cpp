#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/os/folders.h"
#include "platform/os/held_folder.h"
#include "scratch_folder.h"

namespace tessel::os {
namespace {

// Sets (or with nullopt removes) an environment variable for the scope.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* saved = std::getenv(name)) saved_ = saved;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~EnvironmentOverride() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

using PosixFoldersTest = ScratchFolder;

TEST_F(PosixFoldersTest, WhatIsMadeIsTheOwnersAlone) {
    EXPECT_EQ(ModeOf(folder_), 0700u);
    ASSERT_TRUE(WriteNewFile(path("file"), "x"));
    EXPECT_EQ(ModeOf(path("file")), 0600u);
    ASSERT_TRUE(MakeFolders(JoinPath(path("a"), "b")));
    EXPECT_EQ(ModeOf(path("a")), 0700u);
    EXPECT_EQ(ModeOf(JoinPath(path("a"), "b")), 0700u);
}

TEST_F(PosixFoldersTest, PrivateFoldersGoWhereTmpdirSays) {
    EnvironmentOverride temp("TMPDIR", folder_);
    EXPECT_EQ(TemporaryFolder(), folder_);
    const std::optional<std::string> made = MakePrivateFolder();
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(made->rfind(folder_ + "/tessel-", 0), 0u) << *made;
    EXPECT_EQ(ModeOf(*made), 0700u);

    EnvironmentOverride missing("TMPDIR", path("missing"));
    EXPECT_FALSE(MakePrivateFolder().has_value());
    EnvironmentOverride unset("TMPDIR", std::nullopt);
    EXPECT_EQ(TemporaryFolder(), "/tmp");
}

// Work folders are not made where another user could move them away and put their own in their place.
TEST_F(PosixFoldersTest, ATmpdirThatOthersControlIsSteppedAround) {
    const std::string shared = path("shared");
    ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
    EnvironmentOverride temp("TMPDIR", shared);
    ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
    EXPECT_EQ(TemporaryFolder(), "/tmp");
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    EXPECT_EQ(TemporaryFolder(), shared);
    ASSERT_EQ(::chmod(shared.c_str(), 0770), 0);
    EXPECT_EQ(TemporaryFolder(), "/tmp");
    ASSERT_EQ(::chmod(shared.c_str(), 0700), 0);
    EXPECT_EQ(TemporaryFolder(), shared);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
        EXPECT_EQ(TemporaryFolder(), "/tmp");
    }
}

// Someone who moves a work folder away and puts their own under its name neither has their files read nor
// loses them when the work folder goes.
TEST_F(PosixFoldersTest, AHeldFolderIsReachedThroughWhatIsHeldNotItsName) {
    EnvironmentOverride temp("TMPDIR", folder_);
    std::optional<HeldFolder> held = HeldFolder::Make();
    ASSERT_TRUE(held);
    EXPECT_EQ(held->name().rfind(folder_ + "/tessel-", 0), 0u) << held->name();
    EXPECT_EQ(ModeOf(held->name()), 0700u);
    ASSERT_TRUE(WriteNewFile(JoinPath(held->path(), "w001.dat"), "the operator's image"));

    const std::string movedAway = path("moved-away");
    ASSERT_EQ(::rename(held->name().c_str(), movedAway.c_str()), 0);
    ASSERT_EQ(::mkdir(held->name().c_str(), 0700), 0);
    ASSERT_TRUE(WriteNewFile(JoinPath(held->name(), "w001.dat"), "their image"));
    EXPECT_EQ(ReadFileBytes(JoinPath(held->path(), "w001.dat"), 100), "the operator's image");
    ASSERT_TRUE(WriteNewFile(JoinPath(held->path(), "autoscript.txt"), "cmd"));
    EXPECT_EQ(ReadFileBytes(JoinPath(movedAway, "autoscript.txt"), 100), "cmd");

    const std::string name = held->name();
    held.reset();
    EXPECT_EQ(ReadFileBytes(JoinPath(name, "w001.dat"), 100), "their image");
    EXPECT_FALSE(PathExists(JoinPath(movedAway, "w001.dat")));
    EXPECT_FALSE(PathExists(JoinPath(movedAway, "autoscript.txt")));
}

TEST_F(PosixFoldersTest, AHeldFolderGoesWithWhatItHoldsAndNothingOutside) {
    EnvironmentOverride temp("TMPDIR", folder_);
    const std::string outside = path("outside");
    ASSERT_EQ(::mkdir(outside.c_str(), 0700), 0);
    ASSERT_TRUE(WriteNewFile(JoinPath(outside, "keep"), "x"));
    std::string name;
    {
        const std::optional<HeldFolder> held = HeldFolder::Make();
        ASSERT_TRUE(held);
        name = held->name();
        ASSERT_TRUE(MakeFolders(JoinPath(JoinPath(held->path(), "a"), "b")));
        ASSERT_TRUE(WriteNewFile(JoinPath(JoinPath(held->path(), "a"), "file"), "y"));
        ASSERT_EQ(::symlink(outside.c_str(), JoinPath(held->path(), "link").c_str()), 0);
    }
    EXPECT_FALSE(PathExists(name));
    EXPECT_EQ(ReadFileBytes(JoinPath(outside, "keep"), 10), "x");
}

TEST_F(PosixFoldersTest, OwnFoldersAreMadeOwnerOnlyAndOthersRefused) {
    std::string why;
    const std::string state = JoinPath(path("home"), "state");
    ASSERT_EQ(MakeOwnFolder(state, why), state) << why;
    EXPECT_EQ(ModeOf(state), 0700u);
    EXPECT_EQ(MakeOwnFolder(state, why), state) << why;

    const std::string open = path("open");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    EXPECT_FALSE(MakeOwnFolder(open, why));
    EXPECT_EQ(why, "other users may write in it");

    const std::string link = path("link");
    ASSERT_EQ(::symlink(state.c_str(), link.c_str()), 0);
    EXPECT_FALSE(MakeOwnFolder(link, why));
    EXPECT_EQ(why, "it is a link or not a folder");

    if (::geteuid() == 0) {
        const std::string theirs = path("theirs");
        ASSERT_EQ(::mkdir(theirs.c_str(), 0700), 0);
        ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(MakeOwnFolder(theirs, why));
        EXPECT_EQ(why, "another user owns it");
    }
}

TEST(StateFolderTest, ComesFromAbsoluteXdgStateHomeElseHome) {
    EnvironmentOverride home("HOME", "/home/operator");
    {
        EnvironmentOverride state("XDG_STATE_HOME", "/var/state");
        EXPECT_EQ(StateFolder(), "/var/state/tessel");
    }
    {
        EnvironmentOverride state("XDG_STATE_HOME", "relative/state");
        EXPECT_EQ(StateFolder(), "/home/operator/.local/state/tessel");
    }
    EnvironmentOverride state("XDG_STATE_HOME", std::nullopt);
    EXPECT_EQ(StateFolder(), "/home/operator/.local/state/tessel");
    {
        EnvironmentOverride relativeHome("HOME", "operator");
        EXPECT_EQ(StateFolder(), "");
    }
    EnvironmentOverride noHome("HOME", std::nullopt);
    EXPECT_EQ(StateFolder(), "");
}

TEST(RuntimeFolderTest, ComesFromAbsoluteXdgRuntimeDirElseTheUsersFolderInTmp) {
    {
        EnvironmentOverride runtime("XDG_RUNTIME_DIR", "/run/user/1000");
        EXPECT_EQ(RuntimeFolder(), "/run/user/1000/tessel");
    }
    const std::string fallback = "/tmp/tessel-" + std::to_string(::getuid());
    {
        EnvironmentOverride runtime("XDG_RUNTIME_DIR", "run/user");
        EXPECT_EQ(RuntimeFolder(), fallback);
    }
    EnvironmentOverride runtime("XDG_RUNTIME_DIR", std::nullopt);
    EXPECT_EQ(RuntimeFolder(), fallback);
}

TEST(ProgramPathTest, IsWhereProcSelfExePoints) {
    char target[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", target, sizeof target - 1), 0);
    EXPECT_EQ(ProgramPath(), target);
}

}  // namespace
}  // namespace tessel::os
