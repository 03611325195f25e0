#include "sample_package.h"

#include <gtest/gtest.h>

#include <fstream>

#include "dialog/cp932.h"

namespace tessel::gui_test {

SamplePackage::SamplePackage() { EXPECT_TRUE(folder_.isValid()); }

void SamplePackage::write(const std::string& name, const std::string& bytes) const {
    std::ofstream file(dir() + "/" + name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(file.good()) << name;
}

void SamplePackage::writeManagementFile(const std::string& utf8Lines) const {
    const std::optional<std::string> cp932 = Utf8ToCp932(utf8Lines);
    ASSERT_TRUE(cp932.has_value());
    write("UpDateMng.txt", *cp932);
}

}  // namespace tessel::gui_test
