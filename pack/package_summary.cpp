#include "pack/package_summary.h"

#include "dialog/local_file.h"
#include "pack/file_probe.h"
#include "pack/sha256.h"
#include "pack/source_file.h"
#include "procedures/package_files.h"

namespace tessel::pack {
namespace {

constexpr std::string_view kFirmwareHeader = "TESSEL FIRMWARE ";
// The first line of an image is short; a longer one declares no version.
constexpr std::size_t kFirmwareHeaderBytes = 64;

SummaryFile PlainFile(const std::string& packageDirectory, std::string_view name, std::string_view devicePath) {
    SummaryFile file{"", std::string(name), std::string(devicePath), std::nullopt, ""};
    if (const auto bytes = ReadFileBytes(PackagePath(packageDirectory, name))) {
        file.size = bytes->size();
        file.sha256 = Sha256Hex(*bytes);
    }
    return file;
}

// The first bytes of a regular file in the folder, read without following a link or waiting on a FIFO.
std::string FileHead(const std::string& folder, std::string_view name, std::size_t count) {
    std::optional<SourceFile> file = SourceFile::Open(folder, std::string(name), UINTMAX_MAX);
    std::string head;
    if (!file || !file->read(head, count)) return {};
    return head;
}

SummaryFirmwareFile FirmwareFile(const std::string& packageDirectory, std::string_view name) {
    SummaryFirmwareFile file{std::string(name), std::nullopt, ""};
    const std::string path = PackagePath(packageDirectory, name);
    const FileProbe probe = ProbeFile(path, UINTMAX_MAX);
    if (probe.state != FileState::Readable) return file;
    file.size = probe.size;
    if (name != kFirmwareImageFile) return file;
    const std::string head = FileHead(packageDirectory, name, kFirmwareHeaderBytes);
    const std::size_t end = head.find_first_of("\r\n");
    if (head.starts_with(kFirmwareHeader) && end != std::string::npos) {
        file.declaredVersion = head.substr(kFirmwareHeader.size(), end - kFirmwareHeader.size());
    }
    return file;
}

}  // namespace

std::optional<std::string> PlainBytes(const std::string& packageDirectory, const UpdateFileEntry& entry,
                                      std::uint8_t key) {
    std::optional<std::string> bytes = ReadFileBytes(PackagePath(packageDirectory, entry.scrambledName));
    if (bytes) {
        for (char& byte : *bytes) byte = static_cast<char>(static_cast<unsigned char>(byte) ^ key);
    }
    return bytes;
}

SummaryResult SummarizePackage(const std::string& packageDirectory) {
    SummaryResult result;
    PackageSummary summary;
    std::vector<UpdateFileEntry> entries;
    if (!ReadUpdateHeader(packageDirectory, summary.header) ||
        ReadUpdateFileList(packageDirectory, entries, summary.key, &result.fault) != 0) {
        if (result.fault.reason.empty()) result.fault.reason = "cannot be read";
        return result;
    }
    for (const UpdateFileEntry& entry : entries) {
        SummaryFile file{entry.scrambledName, entry.plainName, entry.devicePath, std::nullopt, ""};
        if (const auto bytes = PlainBytes(packageDirectory, entry, summary.key)) {
            file.size = bytes->size();
            file.sha256 = Sha256Hex(*bytes);
        }
        summary.listed.push_back(std::move(file));
    }
    summary.plain.push_back(PlainFile(packageDirectory, kVersionTextFile, kVersionTextDevicePath));
    summary.plain.push_back(PlainFile(packageDirectory, kSpacerImageFile, kSpacerImageDevicePath));
    for (const std::string_view name : {kFirmwareImageFile, kFirmwareDataFile, kVersionScriptFile}) {
        summary.firmware.push_back(FirmwareFile(packageDirectory, name));
    }
    result.summary = std::move(summary);
    return result;
}

}  // namespace tessel::pack
