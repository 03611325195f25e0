// What pack reads and writes through each system's files, and its SHA-256 (OpenSSL on Linux, CNG on Windows).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "pack/file_probe.h"
#include "pack/output_folder.h"
#include "pack/sha256.h"
#include "pack/source_file.h"
#include "platform/os/files.h"
#include "platform/os/folders.h"

namespace tessel::pack {
namespace {

namespace fs = std::filesystem;

TEST(Sha256, KnownDigestsIncludingTheEmptyInputAndOneOfManyBlocks) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

class PackFiles : public testing::Test {
protected:
    void SetUp() override {
        const std::optional<std::string> folder = os::MakePrivateFolder();
        ASSERT_TRUE(folder);
        work_ = *folder;
    }
    void TearDown() override { os::RemoveFolderTree(work_); }

    std::string at(const std::string& name) const { return os::JoinPath(work_, name); }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(fs::u8path(path), std::ios::binary) << bytes;
    }

    std::string work_;
};

TEST_F(PackFiles, AWrittenTreeIsThereAndADiscardTakesAllOfItBackWithTheFolderItMade) {
    std::string error;
    std::optional<OutputFolder> out = OutputFolder::Open(at("out"), error);
    ASSERT_TRUE(out) << error;
    EXPECT_TRUE(out->write({"C", "www", "a.htm"}, "<p>"));
    EXPECT_TRUE(out->write({"C", "www", "b.htm"}, std::string(100000, 'b')));
    EXPECT_TRUE(out->write({"top.txt"}, "top"));
    // A name that would leave its folder is refused, and so is a file made twice.
    EXPECT_FALSE(out->write({"..", "escaped.txt"}, "x"));
    EXPECT_FALSE(out->write({"C", "..", "..", "escaped.txt"}, "x"));
    EXPECT_FALSE(out->write({"top.txt"}, "again"));
    // A fill that fails takes its file back.
    EXPECT_FALSE(out->writeWith({"C", "cut.bin"}, [](OutputFolder::File& file) { return !file.append("x"); }));

    EXPECT_EQ(os::ReadFileBytes(at("out/C/www/b.htm"), 200000),
              std::string(100000, 'b'));
    EXPECT_EQ(os::ReadFileBytes(at("out/top.txt"), 16), "top");
    EXPECT_FALSE(fs::exists(fs::u8path(at("out/C/cut.bin"))));
    EXPECT_FALSE(fs::exists(fs::u8path(at("escaped.txt"))));

    out->discard();
    EXPECT_FALSE(fs::exists(fs::u8path(at("out"))));
}

TEST_F(PackFiles, AFolderThatHoldsAnythingOrAFileInItsPlaceIsRefused) {
    fs::create_directory(fs::u8path(at("full")));
    Write(at("full/kept.txt"), "kept");
    Write(at("plain"), "a file");
    std::string error;
    EXPECT_FALSE(OutputFolder::Open(at("full"), error));
    EXPECT_NE(error.find("is not empty"), std::string::npos) << error;
    EXPECT_FALSE(OutputFolder::Open(at("plain"), error));
    EXPECT_NE(error.find("is no folder"), std::string::npos) << error;
    EXPECT_FALSE(OutputFolder::Open(at("missing/deeper"), error));
    EXPECT_EQ(os::ReadFileBytes(at("full/kept.txt"), 16), "kept");

    // An empty folder of the user's own is taken, and kept when a discard takes back what went in.
    fs::create_directory(fs::u8path(at("empty")));
    std::optional<OutputFolder> out = OutputFolder::Open(at("empty"), error);
    ASSERT_TRUE(out) << error;
    EXPECT_TRUE(out->write({"f"}, "x"));
    out->discard();
    EXPECT_TRUE(fs::is_directory(fs::u8path(at("empty"))));
    EXPECT_TRUE(fs::is_empty(fs::u8path(at("empty"))));
}

TEST_F(PackFiles, ASourceFileIsReadInBoundedPiecesUpToItsSizeAndProbedWithoutReadingIt) {
    fs::create_directories(fs::u8path(at("src/web")));
    Write(at("src/web/index.htm"), "0123456789");
    std::optional<SourceFile> file = SourceFile::Open(at("src"), "web/./index.htm", 10);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 10u);
    std::string chunk;
    std::string all;
    while (file->read(chunk, 4) && !chunk.empty()) all += chunk;
    EXPECT_EQ(all, "0123456789");

    EXPECT_FALSE(SourceFile::Open(at("src"), "web/index.htm", 9));  // larger than allowed
    EXPECT_FALSE(SourceFile::Open(at("src"), "web", 100));          // a folder
    EXPECT_FALSE(SourceFile::Open(at("src"), "web/none.htm", 100));
    EXPECT_FALSE(SourceFile::Open(at("src"), "", 100));

    const FileProbe readable = ProbeFile(at("src/web/index.htm"), 10);
    EXPECT_EQ(readable.state, FileState::Readable);
    EXPECT_EQ(readable.size, 10u);
    EXPECT_EQ(ProbeFile(at("src/web/index.htm"), 9).state, FileState::TooLarge);
    EXPECT_EQ(ProbeFile(at("src/web"), 100).state, FileState::NotRegular);
    EXPECT_EQ(ProbeFile(at("src/web/none.htm"), 100).state, FileState::Missing);
}

}  // namespace
}  // namespace tessel::pack
