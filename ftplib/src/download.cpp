#include <algorithm>
#include <memory>

#include "code_converters.h"
#include "ftp_listing.h"
#include "job.h"
#include "converted_copy.h"
#include "local_files.h"
#include "part_file.h"
#include "transfer.h"

namespace skiffs {

namespace {

// What a server may send beyond the listed size (twice it in ASCII mode): a file that grew a little
// since it was listed still arrives whole.
constexpr std::uint64_t kDownloadMargin = 64 * 1024;

// Size of the remote file as its directory lists it, or -1 when it is not listed. The name is
// matched without regard to ASCII letter case.
std::int64_t ListedRemoteSize(JobRecord& record, FtpSession& session) {
    const std::string remote(FieldText(record.remotePath));
    const std::size_t sep = remote.find_last_of("/:");
    std::string dir;  // empty: the login directory
    std::string name = remote;
    if (sep != std::string::npos) {
        name = remote.substr(sep + 1);
        dir = remote.substr(0, sep);
        if (dir == ".") {
            dir.clear();
            StoreField(record.remotePath, name);
        } else {
            dir += '/';
        }
    }
    const std::optional<std::vector<ListingEntry>> listing = session.List(dir);
    if (!listing) return -1;
    const std::optional<ListingEntry> entry = FindEntry(*listing, name);
    if (!entry) return -1;
    // The size is carried as a 32-bit signed value: 2 GiB or more reads as negative.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(entry->size));
}

// The local file must be writable (it is created when missing, else left as it is) and the remote
// file listed. Gives the listed size, or the call's code when a check failed.
std::int64_t CheckDownload(JobRecord& record, FtpSession& session) {
    if (!CanWriteFile(std::string(FieldText(record.localPath)))) return SKIFF_LOCAL_FILE_ERROR;
    const std::int64_t size = ListedRemoteSize(record, session);
    if (size < 0) return SKIFF_REMOTE_ERROR;
    return size;
}

}  // namespace

int RunDownload(JobRecord& record) {
    Job job(record);
    if (const int started = job.Begin(); started != SKIFF_OK) return started;
    if (record.codeConversion == kEucToShiftJis) {
        StoreField(record.remotePath, ShiftJisToEuc(FieldText(record.remotePath)));
    }
    const std::int64_t listed = CheckDownload(record, job.Session());
    if (listed < 0) return static_cast<int>(listed);

    const std::optional<int> entry = job.Entry();
    if (!entry) return SKIFF_NO_JOB_ENTRY;

    // An ASCII transfer may grow the text (line ends): twice the listed size is allowed then. A
    // server that sends more than that and the margin is not followed further.
    const std::uint64_t expected = static_cast<std::uint64_t>(listed) *
                                   (record.transferType == kTransferTypeAscii ? 2 : 1);
    const std::uint64_t most = expected + kDownloadMargin;
    const std::int64_t blocks = BlockCount(expected);
    job.Session().AllowData(most);

    const std::string local(FieldText(record.localPath));
    const std::unique_ptr<PartFile> part = PartFile::Create(local);
    if (!part) return SKIFF_LOCAL_FILE_ERROR;
    std::uint64_t received = 0;
    std::int64_t reads = 0;
    bool tooMuch = false;
    bool unwritten = false;
    // Data is taken in reads of at most one block, each checked for a cancel before it is taken.
    const FtpSession::Sink sink = [&](const char* bytes, std::size_t size) {
        std::size_t taken = 0;
        bool go = true;
        while (taken < size) {
            if (job.CancelRequested(*entry)) {
                go = false;
                break;
            }
            const std::size_t n = std::min(kBlockSize, size - taken);
            taken += n;
            job.Progress(*entry, blocks, ++reads);
        }
        received += taken;
        if (received > most) {
            tooMuch = true;
            return false;
        }
        if (!part->Write(std::string_view(bytes, taken))) {
            unwritten = true;
            return false;
        }
        return go;
    };
    const FtpSession::Outcome outcome = job.Session().Retrieve(FieldText(record.remotePath), sink);
    if (unwritten) return SKIFF_LOCAL_FILE_ERROR;
    if (tooMuch || outcome == FtpSession::Outcome::Failed) return SKIFF_REMOTE_ERROR;
    if (!part->Commit()) return SKIFF_LOCAL_FILE_ERROR;

    const std::optional<std::string> content = ConvertedContent(record, local, job.TempName());
    if (!content) return SKIFF_TEMP_COPY_ERROR;
    return (*content == local || CopyOverFile(*content, local)) ? SKIFF_OK : SKIFF_LOCAL_FILE_ERROR;
}

}  // namespace skiffs
