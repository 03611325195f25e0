#include "test_files.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tessel::test {

std::filesystem::path MakeTempDir(const std::string& name) {
    const char* base = std::getenv("TEST_TMPDIR");
    // A parameterised test's name holds a '/': one folder, not a folder within another that nobody removes.
    std::string leaf = "tessel-" + name + "-" + std::to_string(getpid());
    std::replace(leaf.begin(), leaf.end(), '/', '_');
    std::filesystem::path dir = (base ? std::filesystem::path(base) : std::filesystem::temp_directory_path()) / leaf;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace tessel::test
