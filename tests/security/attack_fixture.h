// An attack on tessel-cli: a package made in a scratch folder and then tampered with, a sentinel folder
// beside it that nothing may touch, and the checks every attack ends with.
#pragma once

#include <sys/stat.h>

#include <string>

#include "cli_fixture.h"

namespace tessel::test {

class AttackFixture : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        sentinel_ = work_ / "sentinel";
        fs::create_directories(sentinel_);
        WriteFileBytes(sentinel_ / "secret.txt", "the operator's secret\n");
        WriteFileBytes(sentinel_ / "victim.txt", "must stay as it is\n");
        before_ = Listing(sentinel_);
        // Locks of this test's runs only.
        fs::create_directories(work_ / "run");
        fs::permissions(work_ / "run", fs::perms::owner_all);
        environment_ += " XDG_RUNTIME_DIR=" + Quote((work_ / "run").string());
    }

    // Every entry of a folder, links as links, with the bytes of regular files.
    static std::map<std::string, std::string> Listing(const fs::path& folder) {
        std::map<std::string, std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            const std::string name = fs::relative(entry.path(), folder).string();
            if (entry.is_symlink()) {
                entries[name] = "link to " + fs::read_symlink(entry.path()).string();
            } else if (entry.is_regular_file()) {
                entries[name] = ReadFileBytes(entry.path());
            } else {
                entries[name] = "other";
            }
        }
        return entries;
    }

    std::string Management() const { return ReadFileBytes(package_ / "UpDateMng.txt"); }
    void SetManagement(const std::string& text) { WriteFileBytes(package_ / "UpDateMng.txt", text); }
    // The management file with its first occurrence of from replaced.
    void ReplaceInManagement(const std::string& from, const std::string& to) {
        std::string text = Management();
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        SetManagement(text);
    }
    void ReplaceWithLink(const std::string& name, const fs::path& target) {
        fs::remove(package_ / name);
        fs::create_symlink(target, package_ / name);
    }
    void ReplaceWithFifo(const std::string& name) {
        fs::remove(package_ / name);
        ASSERT_EQ(::mkfifo((package_ / name).c_str(), 0600), 0);
    }
    // The package as it stands now is what the attacker shipped.
    void Shipped() { shippedListing_ = Listing(package_); }

    // What every attack ends with: refused, nothing outside changed, the package as shipped.
    void ExpectRefusedAndNothingTouched(const CliRun& run) {
        EXPECT_EQ(run.status, 1) << run.out << run.err;
        EXPECT_EQ(Listing(sentinel_), before_);
        EXPECT_EQ(Listing(package_), shippedListing_);
    }

    fs::path sentinel_;
    std::map<std::string, std::string> before_;
    std::map<std::string, std::string> shippedListing_;
};

}  // namespace tessel::test
