#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/os/files.h"
#include "platform/os/folders.h"

namespace tessel::os {

// A private folder of the test, removed with its content at the end.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const std::optional<std::string> made = MakePrivateFolder();
        ASSERT_TRUE(made.has_value());
        folder_ = *made;
    }
    void TearDown() override { RemoveFolderTree(folder_); }

    std::string path(std::string_view name) const { return JoinPath(folder_, name); }

    std::string folder_;
};

}  // namespace tessel::os
