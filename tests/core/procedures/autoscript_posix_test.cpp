// TMPDIR decides where the work folder goes only on POSIX systems.
#include <cstdlib>
#include <string>

#include "autoscript_fixture.h"

namespace tessel::sim {
namespace {

TEST_F(AutoScriptStartTest, AWorkFolderThatCannotBeMadeEndsWithAMessageAndNothingSent) {
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    const std::string missing = world.package.dir() + "/no such folder";
    setenv("TMPDIR", missing.c_str(), 1);
    start(AutoscriptMoveAside);
    if (previous != nullptr) {
        setenv("TMPDIR", saved.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_EQ(boxTexts(), Texts{"送信先ファイル作成エラー(" + missing + ")"});
    EXPECT_TRUE(world.uploader.uploads.empty());
    EXPECT_EQ(world.network.socketsCreated(), 0);
    expectPackageAsShipped();
}

}  // namespace
}  // namespace tessel::sim
