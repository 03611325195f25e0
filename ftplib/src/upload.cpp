#include <algorithm>
#include <cstring>

#include "code_converters.h"
#include "job.h"
#include "local_files.h"
#include "transfer.h"

namespace skiffs {

namespace {

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
    if (const int started = job.Begin(TargetDirectory(record)); started != kOk) return started;
    if (!CanReadFile(std::string(FieldText(record.localPath)))) return kLocalFile;
    if (!job.InDirectory()) return kRemoteSide;

    const std::optional<std::string> content =
        ConvertedContent(record, std::string(FieldText(record.localPath)), job.TempName());
    if (!content) return kTemporaryCopy;
    // Held whole, so that what is sent is the file as it was when the transfer began.
    const std::optional<FileData> data = ReadWholeFile(*content);
    if (!data) return kTemporaryCopy;

    // Without an entry nothing reaches the server: an existing remote file stays as it was.
    const std::optional<int> entry = job.Entry();
    if (!entry) return kNoJobEntry;

    const std::int64_t blocks = BlockCount(data->size());
    job.Progress(*entry, blocks, 0);
    job.Session().AllowData(data->size());
    std::size_t offset = 0;
    // A cancel is looked at before the next blocks go out and ends the file there, as if it were
    // complete; done counts the blocks written to the network, the last one possibly short.
    FtpSession::StoreFeed feed;
    feed.fill = [&](char* buf, std::size_t max) -> std::size_t {
        if (job.CancelRequested(*entry)) return 0;
        const std::size_t n = std::min(max, data->size() - offset);
        std::memcpy(buf, data->View().data() + offset, n);
        offset += n;
        return n;
    };
    feed.sent = [&](std::uint64_t sent) {
        const std::int64_t done = sent >= data->size() ? blocks : static_cast<std::int64_t>(sent / kBlockSize);
        job.Progress(*entry, blocks, done);
        return !job.CancelRequested(*entry);
    };
    const FtpSession::Outcome outcome = job.Session().Store(FieldText(record.remotePath), feed);
    return outcome == FtpSession::Outcome::Failed ? kRemoteSide : kOk;
}

}  // namespace skiffs
