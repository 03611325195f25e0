// Local file operations of a transfer, and the thread's temporary file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "job_record.h"

namespace skiffs {

// Replaces the contents of an existing or new file at target with those of source.
bool CopyOverFile(const std::string& source, const std::string& target);

// Writes data to a new file at target: an existing target is removed first, the new one is
// created exclusively and without following links.
bool WriteNewFile(const std::string& target, std::string_view data);

// Memory for the whole contents of a file.
class FileData {
public:
    // Throws std::bad_alloc when the memory cannot be had.
    explicit FileData(std::size_t size);
    char* data() { return bytes_.get(); }
    std::size_t size() const { return size_; }

private:
    struct Free {
        void operator()(char* bytes) const;
    };
    // Not zero-filled first: every byte is read from the file before it is used.
    std::unique_ptr<char[], Free> bytes_;
    std::size_t size_ = 0;
};

// A descriptor of path opened for reading when it is a regular file, else -1.
int OpenRegularForReading(const std::string& path);

// True when path is a regular file that can be opened for reading.
bool CanReadFile(const std::string& path);

// Opens path for writing, creating it when missing and leaving an existing file as it is.
bool CanWriteFile(const std::string& path);

// The file whose bytes a transfer uses for source: source itself when nothing is converted, else
// a converted copy in the process's private folder, whose name is then left in tempName. The
// conversion is the record's, applied in ASCII mode only. Nothing when the copy cannot be made; an
// empty source fails in ASCII mode.
std::optional<std::string> ConvertedContent(const JobRecord& record, const std::string& source,
                                            std::string& tempName);

}  // namespace skiffs
