#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests happens at build time, where no display platform is set.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    // Without a runtime folder Qt makes /tmp/runtime-<user> and leaves it there: the tests get a private one of
    // their own that goes with them.
    std::string runtime;
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessel-gui-runtime-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            runtime = pattern;
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        }
    }
    int status = 0;
    {
        QApplication application(argc, argv);
        status = RUN_ALL_TESTS();
    }
    if (!runtime.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(runtime, ignored);
    }
    return status;
}
