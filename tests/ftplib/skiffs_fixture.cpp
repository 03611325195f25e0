#include "skiffs_fixture.h"

#include <unistd.h>

#include "SkiffS/SkiffS.h"

namespace tessel::test {

void SkiffsTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = MakeTempDir(std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::create_directories(dir_ / "local");
    server_ = std::make_unique<FtpServer>(dir_ / "server", ServerOptions());
}

void SkiffsTest::TearDown() {
    server_.reset();
    std::filesystem::remove_all(dir_);
}

int SkiffsTest::Send(const std::string& local, const std::string& remote, int mode, int passive,
                     int conversion, const char* password) {
    return CSkiffClient().Skiff_SendD("127.0.0.1", server_->options().user.c_str(),
                                      password ? password : server_->options().password.c_str(),
                                      server_->port(), mode, local.c_str(), remote.c_str(), passive,
                                      conversion);
}

int SkiffsTest::Get(const std::string& remote, const std::string& local, int mode, int passive,
                    int conversion) {
    return CSkiffClient().Skiff_GetD("127.0.0.1", server_->options().user.c_str(),
                                     server_->options().password.c_str(), server_->port(), mode,
                                     remote.c_str(), local.c_str(), passive, conversion);
}

std::string SkiffsTest::LocalFile(const std::string& name, const std::string& bytes) const {
    WriteFileBytes(Local(name), bytes);
    return Local(name).string();
}

std::string SkiffsTest::CurlDownload(const std::string& remotePath) const {
    const std::filesystem::path out = dir_ / "curl.out";
    std::filesystem::remove(out);
    int status = 0;
    RunCommand("curl -s --max-time 20 -o '" + out.string() + "' '" + server_->Url() + remotePath + "'",
               &status);
    EXPECT_EQ(status, 0) << "curl could not download " << remotePath;
    return ReadFileBytes(out);
}

bool SkiffsTest::ServerSaw(const std::string& prefix) const { return ServerCount(prefix) > 0; }

int SkiffsTest::ServerCount(const std::string& prefix) const {
    int count = 0;
    for (const std::string& line : server_->Commands()) {
        if (line.rfind(prefix, 0) == 0) ++count;
    }
    return count;
}

std::vector<std::string> SkiffsTest::LeftoverTemporaryFiles() const {
    std::vector<std::string> left;
    for (const std::filesystem::path& folder : PrivateTemporaryFolders()) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            left.push_back(entry.path().string());
        }
    }
    return left;
}

std::vector<std::filesystem::path> PrivateTemporaryFolders(pid_t pid) {
    const char* base = std::getenv("TMPDIR");
    const std::filesystem::path tmp(base && *base ? base : "/tmp");
    const std::string ours = "skiffs-" + std::to_string(pid) + "-";
    std::vector<std::filesystem::path> folders;
    for (const auto& entry : std::filesystem::directory_iterator(tmp)) {
        if (entry.path().filename().string().rfind(ours, 0) == 0) folders.push_back(entry.path());
    }
    return folders;
}

CancelOnExit::~CancelOnExit() { Skiff_Cancel("127.0.0.1"); }

std::string PatternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t x = 2463534242u;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return bytes;
}

}  // namespace tessel::test
