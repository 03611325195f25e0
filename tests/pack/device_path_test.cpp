#include "pack/device_path.h"

#include <gtest/gtest.h>

namespace tessel::pack {
namespace {

TEST(DevicePath, WindowsPathsOnDrivesCAndBAreAccepted) {
    for (const char* path :
         {"C:\\www\\index.htm", "c:\\www\\control\\a b.htm", "B:\\prism3.dat", "C:\\www\\\x95\\\x8E\xA6.htm"}) {
        EXPECT_EQ(DevicePathFault(path), std::nullopt) << path;
    }
}

TEST(DevicePath, OtherPathsAreRefused) {
    for (const char* path : {"", "C:", "C:\\", "D:\\www\\a.htm", "C:www\\a.htm", "C:/www/a.htm", "\\\\host\\share\\a",
                             "C:\\www\\\\a.htm", "C:\\www\\", "C:\\www\\..\\a.htm", "C:\\www\\.\\a.htm",
                             "C:\\www\\a?.htm", "C:\\www\\a:b", "C:\\www\\a\x01", "C:\\www\\a.", "C:\\www\\a "}) {
        EXPECT_NE(DevicePathFault(path), std::nullopt) << path;
    }
}

TEST(DevicePath, TheWebRootIsMatchedInAnyCaseAndOnlyAsAFolder) {
    EXPECT_TRUE(IsUnderWebRoot("C:\\www\\index.htm"));
    EXPECT_TRUE(IsUnderWebRoot("c:\\WWW\\control\\a.htm"));
    EXPECT_FALSE(IsUnderWebRoot("C:\\www"));
    EXPECT_FALSE(IsUnderWebRoot("C:\\wwwroot\\a.htm"));
    EXPECT_FALSE(IsUnderWebRoot("B:\\www\\a.htm"));
}

TEST(DevicePath, NamesSplitAtBackslashCharactersOnly) {
    EXPECT_EQ(DevicePathNames("c:\\www\\\x95\\\x8E\xA6.htm"),
              (std::vector<std::string>{"C:", "www", "\x95\\\x8E\xA6.htm"}));
    EXPECT_EQ(CaseFoldKey("a\x95\x61"
                          "b"),
              "A\x95\x61"
              "B");
}

}  // namespace
}  // namespace tessel::pack
