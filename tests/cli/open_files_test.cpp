#include "cli/open_files.h"

#include <sys/resource.h>

#include <gtest/gtest.h>

namespace tessel::cli {
namespace {

// Sets the soft limit for the test and puts the one before back.
class SoftLimit {
public:
    explicit SoftLimit(rlim_t soft) {
        getrlimit(RLIMIT_NOFILE, &before_);
        rlimit lowered = before_;
        lowered.rlim_cur = soft;
        ok_ = setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~SoftLimit() { setrlimit(RLIMIT_NOFILE, &before_); }
    bool ok() const { return ok_; }

private:
    rlimit before_{};
    bool ok_ = false;
};

rlimit Current() {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    return limit;
}

TEST(OpenFilesTest, ASoftLimitBelowWhatTheFleetNeedsIsRaisedToTheHardOne) {
    const rlimit hard = Current();
    if (hard.rlim_max != RLIM_INFINITY && hard.rlim_max <= 256) GTEST_SKIP() << "the hard limit leaves no room here";
    const SoftLimit soft(128);
    ASSERT_TRUE(soft.ok());
    RaiseOpenFilesLimit(OpenFilesFor(1000));
    EXPECT_EQ(Current().rlim_cur, hard.rlim_max);
}

TEST(OpenFilesTest, ASoftLimitThatSufficesStaysAsItIs) {
    const SoftLimit soft(256);
    ASSERT_TRUE(soft.ok());
    RaiseOpenFilesLimit(OpenFilesFor(2));
    EXPECT_EQ(Current().rlim_cur, 256u);
}

}  // namespace
}  // namespace tessel::cli
