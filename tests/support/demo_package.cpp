#include "demo_package.h"

#include "ftp_server.h"

namespace tessel::test {

namespace fs = std::filesystem;

std::string RunPack(const std::string& args, int* status) {
    return RunCommand("timeout 60 '" TESSEL_PACK_PROGRAM "' " + args + " 2>&1", status);
}

bool BuildDemoPackage(const fs::path& package, const fs::path& scratch, bool moveAside, std::string* output) {
    fs::copy(TESSEL_SOURCE_DIR "/examples/demo", scratch, fs::copy_options::recursive);
    const fs::path manifest = scratch / "manifest.toml";
    if (!moveAside) {
        std::string text = ReadFileBytes(manifest);
        const std::size_t at = text.find("\nmove = true\n");
        if (at == std::string::npos) return false;
        text.replace(at, 13, "\nmove = false\n");
        WriteFileBytes(manifest, text);
    }
    int status = -1;
    const std::string out = RunPack("build '" + manifest.string() + "' '" + package.string() + "'", &status);
    if (output != nullptr) *output = out;
    return status == 0;
}

}  // namespace tessel::test
