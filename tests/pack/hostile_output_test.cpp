// Attacks on tessel-pack by other local users and by what lies beside a manifest: each is made in a scratch
// folder, and a sentinel folder that nothing may touch stands for the victim's files.
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "pack/output_folder.h"
#include "pack/unpack.h"
#include "pack_fixture.h"

namespace tessel::pack::test {
namespace {

// The user nobody, as Debian numbers it.
constexpr uid_t kOtherUser = 65534;

class HostilePack : public PackFixture {
protected:
    void SetUp() override {
        PackFixture::SetUp();
        sentinel_ = work_ / "sentinel";
        fs::create_directories(sentinel_ / "www");
        WriteFileBytes(sentinel_ / "secret.txt", "root's secret\n");
        WriteFileBytes(sentinel_ / "www" / "a.htm", "must stay as it is\n");
        before_ = Listing(sentinel_);
    }

    static std::map<std::string, std::string> Listing(const fs::path& folder) {
        std::map<std::string, std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            const std::string name = fs::relative(entry.path(), folder).string();
            entries[name] = entry.is_symlink()        ? "link to " + fs::read_symlink(entry.path()).string()
                            : entry.is_regular_file() ? ReadFileBytes(entry.path())
                                                      : "other";
        }
        return entries;
    }

    static bool Mentions(const PackOutcome& outcome, const std::string& part) {
        for (const std::string& error : outcome.errors) {
            if (error.find(part) != std::string::npos) return true;
        }
        return false;
    }

    fs::path sentinel_;
    std::map<std::string, std::string> before_;
};

TEST_F(HostilePack, AnOutputFolderOfAnotherUserIsRefusedByBuildAndUnpack) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
    BuildGood();
    const fs::path theirs = work_ / "theirs";
    fs::create_directories(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), kOtherUser, kOtherUser), 0);
    for (const PackOutcome& outcome : {Build(theirs), UnpackPackage(package_.string(), theirs.string())}) {
        EXPECT_FALSE(outcome.done);
        EXPECT_TRUE(Mentions(outcome, "belongs to another user")) << Describe(outcome);
        EXPECT_TRUE(fs::is_empty(theirs));
    }
}

TEST_F(HostilePack, AnOutputFolderThatOthersCanWriteInIsRefused) {
    const fs::path shared = work_ / "shared";
    fs::create_directories(shared);
    for (const fs::perms mode : {fs::perms::all, fs::perms::owner_all | fs::perms::group_all}) {
        fs::permissions(shared, mode);
        const PackOutcome outcome = Build(shared);
        EXPECT_FALSE(outcome.done);
        EXPECT_TRUE(Mentions(outcome, "other users can write in the folder")) << Describe(outcome);
        EXPECT_TRUE(fs::is_empty(shared));
    }
}

TEST_F(HostilePack, TakingBackAFailedWriteNeverFollowsASubfolderSwappedForALink) {
    std::string error;
    std::optional<OutputFolder> folder = OutputFolder::Open((work_ / "out").string(), error);
    ASSERT_TRUE(folder) << error;
    ASSERT_TRUE(folder->write({"C:", "www", "a.htm"}, "written by the unpack\n"));
    // The folder's owner is not the attacker here, but a parent they control lets them do the same swap.
    fs::rename(work_ / "out" / "C:", work_ / "moved");
    fs::create_directory_symlink(sentinel_, work_ / "out" / "C:");
    folder->discard();
    EXPECT_EQ(Listing(sentinel_), before_);
    EXPECT_FALSE(fs::exists(work_ / "moved" / "www" / "a.htm"));
}

TEST_F(HostilePack, ABuildNeverFollowsALinkedFolderOutOfTheManifestsFolder) {
    fs::create_directory_symlink(sentinel_, source_ / "etc");
    fs::create_directory_symlink(sentinel_, source_ / "web" / "deeper");
    for (const std::string source : {"etc/secret.txt", "web/deeper/www/a.htm"}) {
        std::string manifest = kManifest;
        manifest.replace(manifest.find("web/main.wcr"), 12, source);
        WriteManifest(manifest);
        const PackOutcome outcome = Build(package_);
        EXPECT_FALSE(outcome.done);
        EXPECT_TRUE(Mentions(outcome, "\"" + source + "\" cannot be read")) << Describe(outcome);
        EXPECT_FALSE(fs::exists(package_));
    }
    EXPECT_EQ(Listing(sentinel_), before_);
}

TEST_F(HostilePack, AManifestOfTooManyFilesIsRefusedBeforeAnySourceIsLookedAt) {
    std::string manifest = kManifest;
    for (int i = 0; i < 1001; ++i) {
        manifest += "\n[[web]]\nsource = \"web/missing" + std::to_string(i) + ".htm\"\ndevice_path = 'C:\\www\\m" +
                    std::to_string(i) + ".htm'\n";
    }
    WriteManifest(manifest);
    const PackOutcome outcome = Build(package_);
    EXPECT_FALSE(outcome.done);
    // One error: had any source been opened, each missing one would have its own.
    ASSERT_EQ(outcome.errors.size(), 1u) << Describe(outcome);
    EXPECT_TRUE(Mentions(outcome, "1003 web files, more than 1000")) << Describe(outcome);
    EXPECT_FALSE(fs::exists(package_));
}

}  // namespace
}  // namespace tessel::pack::test
