// Local file operations of a transfer, and the thread's temporary file.
#ifndef SKIFFS_LOCAL_FILES_H
#define SKIFFS_LOCAL_FILES_H

#include <optional>
#include <string>
#include <string_view>

#include "job_record.h"

namespace skiffs {

// The calling thread's temporary file name: a file in a directory that only the process owner can
// enter (created 0700 under TMPDIR or /tmp, and refused when it is a link or another user's).
// Empty when no such directory can be had.
std::string TemporaryFileName(const JobRecord& record);

// Copies source to a new file at target: an existing target is removed first, the new one is
// created exclusively and without following links. Streams in blocks; the file is never held whole.
bool CopyToNewFile(const std::string& source, const std::string& target);

// Replaces the contents of an existing or new file at target with those of source.
bool CopyOverFile(const std::string& source, const std::string& target);

// Writes data to a new file at target, as CopyToNewFile creates it.
bool WriteNewFile(const std::string& target, std::string_view data);

// Writes data to path, creating or emptying it.
bool WriteFile(const std::string& path, std::string_view data);

// The whole contents of a regular file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// True when path is a regular file that can be opened for reading.
bool CanReadFile(const std::string& path);

// Opens path for writing, creating it when missing and leaving an existing file as it is.
bool CanWriteFile(const std::string& path);

void RemoveFile(const std::string& path);

// The conversion copy: a plain or converted copy of source in the thread's temporary file. The
// conversion is the record's, applied in ASCII mode only; an empty source fails in ASCII mode.
// On return tempName holds the temporary file name once it is known, also after a failure.
bool MakeConversionCopy(const JobRecord& record, const std::string& source, std::string& tempName);

}  // namespace skiffs

#endif
