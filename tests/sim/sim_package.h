#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tessel::sim {

struct PackageEntry {
    std::string scrambledName;
    std::string plainName;
    std::string devicePath;
    std::string plainBytes;
};

// An update package in a fresh temporary folder, removed again with the object: the firmware files, the two
// fixed web files, a management file and the scrambled files it lists.
class SimPackage {
public:
    SimPackage();
    ~SimPackage();
    SimPackage(const SimPackage&) = delete;
    SimPackage& operator=(const SimPackage&) = delete;

    const std::string& dir() const { return dir_; }
    std::string path(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;
    void remove(const std::string& name) const;
    // Rewrites the management file with these entries (and header lines) and writes their scrambled files.
    void setEntries(std::vector<PackageEntry> entries, const std::vector<std::string>& headerLines = {});
    // Every file of the folder by name, with its bytes.
    std::map<std::string, std::string> snapshot() const;

    std::vector<PackageEntry> entries;
    std::uint8_t key = 0x5A;

private:
    std::string dir_;
};

}  // namespace tessel::sim
