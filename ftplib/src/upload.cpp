#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>

#include "code_converters.h"
#include "converted_copy.h"
#include "file_load.h"
#include "job.h"
#include "local_files.h"
#include "transfer.h"

namespace skiffs {

namespace {

// How long a block may wait for the file's reading before a cancel is looked at again.
constexpr std::chrono::milliseconds kCancelLook{50};

// The directory part of the remote path, which must exist: empty for the login directory; a path
// that starts with its only slash lies in the root. A path of a dot, a slash and a name becomes the
// name alone, in the login directory.
std::string TargetDirectory(JobRecord& record) {
    const std::string remote(FieldText(record.remotePath));
    const std::size_t slash = remote.rfind('/');
    std::string dir;
    if (slash != std::string::npos) dir = remote.substr(0, std::max<std::size_t>(slash, 1));
    if (dir == ".") {
        dir.clear();
        StoreField(record.remotePath, remote.substr(slash + 1));
    }
    return dir;
}

}  // namespace

int RunUpload(JobRecord& record) {
    Job job(record);
    if (record.codeConversion == kShiftJisToEuc) {
        // The argument check made sure the converted name fits.
        StoreField(record.remotePath, ShiftJisToEuc(FieldText(record.remotePath)));
    }
    // The login and the check of the remote directory in one exchange; the local file is looked at
    // in between, so that a missing one is reported as such, after the login, whatever the directory.
    if (const int started = job.Begin(TargetDirectory(record)); started != SKIFF_OK) return started;
    if (!CanReadFile(std::string(FieldText(record.localPath)))) return SKIFF_LOCAL_FILE_ERROR;
    if (!job.InDirectory()) return SKIFF_REMOTE_ERROR;

    const std::optional<std::string> content =
        ConvertedContent(record, std::string(FieldText(record.localPath)), job.TempName());
    if (!content) return SKIFF_TEMP_COPY_ERROR;
    // Held whole; read on a thread of its own, so that the first blocks go out while the rest is read.
    const std::unique_ptr<FileLoad> load = FileLoad::Start(*content);
    if (!load) return SKIFF_TEMP_COPY_ERROR;

    // Without an entry nothing reaches the server: an existing remote file stays as it was.
    const std::optional<int> entry = job.Entry();
    if (!entry) return SKIFF_NO_JOB_ENTRY;

    std::int64_t blocks = BlockCount(load->Size());
    job.Progress(*entry, blocks, 0);
    job.Session().AllowData(load->Size());
    std::size_t offset = 0;
    bool readFailed = false;
    // A cancel is looked at before the next blocks go out and ends the file there, as if it were
    // complete; done counts the blocks written to the network, the last one possibly short.
    FtpSession::StoreFeed feed;
    feed.fill = [&](char* buf, std::size_t max) -> std::optional<std::size_t> {
        for (;;) {
            if (job.CancelRequested(*entry)) return 0;
            const FileLoad::Piece piece = load->Next(offset, max, kCancelLook);
            if (piece.state == FileLoad::State::Failed) {
                readFailed = true;
                return std::nullopt;
            }
            if (!piece.bytes.empty()) {
                std::memcpy(buf, piece.bytes.data(), piece.bytes.size());
                offset += piece.bytes.size();
                return piece.bytes.size();
            }
            if (piece.state == FileLoad::State::Ended) return 0;
        }
    };
    feed.sent = [&](std::uint64_t sent) {
        // A file that shrank while it was read has fewer blocks than announced.
        const std::uint64_t size = load->Size();
        blocks = BlockCount(size);
        const std::int64_t done = sent >= size ? blocks : static_cast<std::int64_t>(sent / kBlockSize);
        job.Progress(*entry, blocks, done);
        return !job.CancelRequested(*entry);
    };
    const FtpSession::Outcome outcome = job.Session().Store(FieldText(record.remotePath), feed);
    // The part of the file sent before its read failed stays on the server.
    if (readFailed) return SKIFF_TEMP_COPY_ERROR;
    return outcome == FtpSession::Outcome::Failed ? SKIFF_REMOTE_ERROR : SKIFF_OK;
}

}  // namespace skiffs
