#include "sim_package.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "platform/os/files.h"
#include "platform/os/folders.h"

namespace tessel::sim {

SimPackage::SimPackage() {
    std::optional<std::string> made = os::MakePrivateFolder();
    if (!made) throw std::runtime_error("cannot create a package folder");
    dir_ = std::move(*made);
    write("kbteva.bin", std::string("firmware image \x01\x02\xff", 18));
    write("prism3.dat", "firmware data");
    write("GetSysVer.wcr", "Function main()\n{\nprint(version());\n}");
    write("VersionS.txt", "01.00.00");
    write("spacer.gif", std::string("GIF89a\x01\x00\x01\x00", 10));
    setEntries({
        {"a1.dat", "index.htm", "C:\\www\\index.htm", "<html>index</html>\r\n"},
        {"a2.dat", "main.wcr", "C:\\www\\main.wcr", "Function main()\n{\n}\n"},
        {"a3.dat", "logo.gif", "C:\\www\\control\\logo.gif", std::string("GIF89a\0\x5A\xA5", 9)},
    });
}

SimPackage::~SimPackage() { os::RemoveFolderTree(dir_); }

std::string SimPackage::path(const std::string& name) const { return os::JoinPath(dir_, name); }

void SimPackage::write(const std::string& name, const std::string& bytes) const {
    std::ofstream file(path(name), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SimPackage::read(const std::string& name) const {
    std::ifstream file(path(name), std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool SimPackage::exists(const std::string& name) const {
    std::error_code ignored;
    return std::filesystem::exists(path(name), ignored);
}

void SimPackage::remove(const std::string& name) const {
    std::error_code ignored;
    std::filesystem::remove(path(name), ignored);
}

void SimPackage::setEntries(std::vector<PackageEntry> newEntries,
                            const std::vector<std::string>& headerLines) {
    entries = std::move(newEntries);
    std::string text = "#T# Tessel test update\r\n#F# 01.07.02\r\n#S# 01.00.00\r\n";
    for (const std::string& line : headerLines) text += line + "\r\n";
    char keyLine[16];
    std::snprintf(keyLine, sizeof keyLine, "#M# %02X\r\n", key);
    text += keyLine;
    for (const PackageEntry& entry : entries) {
        text += "#L# " + entry.scrambledName + "," + entry.plainName + "," + entry.devicePath + "\r\n";
        std::string scrambled = entry.plainBytes;
        for (char& byte : scrambled) byte = static_cast<char>(static_cast<unsigned char>(byte) ^ key);
        write(entry.scrambledName, scrambled);
    }
    write("UpDateMng.txt", text);
}

std::map<std::string, std::string> SimPackage::snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        files[name] = entry.is_regular_file() ? read(name) : std::string("<folder>");
    }
    return files;
}

}  // namespace tessel::sim
