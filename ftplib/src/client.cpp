// The library's exports: argument checks and call preparation, then the transfer.
#include <new>
#include <string>
#include <string_view>

#include "SkiffS/SkiffS.h"
#include "code_converters.h"
#include "job_record.h"
#include "job_table.h"
#include "path_text.h"
#include "program_folder.h"
#include "transfer.h"

namespace skiffs {
namespace {

constexpr std::size_t kMaxUser = 255;
constexpr std::size_t kMaxPassword = 31;
constexpr std::size_t kMaxPath = kPathField - 1;

std::string_view Text(const char* s) { return s == nullptr ? std::string_view() : std::string_view(s); }

bool IsHostByte(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_' || c == ':' || c == '[' || c == ']' || c == '%';
}

bool HasControlByte(std::string_view s) {
    for (const char c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    }
    return false;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

struct Call {
    int direction;
    std::string_view host, user, password;
    unsigned short port;
    int transferMode;
    std::string_view source, destination;
    int passive;
    int codeConversion;

    std::string_view Remote() const { return direction == kDirectionUpload ? destination : source; }
    // The conversion value that sends the remote name in EUC-JP.
    int RemoteNameConversion() const {
        return direction == kDirectionUpload ? kShiftJisToEuc : kEucToShiftJis;
    }
};

bool ValidPath(std::string_view path) {
    return !path.empty() && path.size() <= kMaxPath && !HasControlByte(path);
}

bool Valid(const Call& call) {
    if (call.host.empty() || call.host.size() > JobTable::kKeyLength) return false;
    for (const char c : call.host) {
        if (!IsHostByte(c)) return false;
    }
    if (call.user.empty() || call.user.size() > kMaxUser || HasLineBreak(call.user)) return false;
    if (call.password.size() > kMaxPassword || HasLineBreak(call.password)) return false;
    if (!ValidPath(call.source) || !ValidPath(call.destination)) return false;
    if (call.transferMode != 0 && call.transferMode != 1) return false;
    if (call.direction == kDirectionUpload && call.passive != 0 && call.passive != 1) return false;
    if (call.codeConversion < kConvertNone || call.codeConversion > kEucToShiftJis) return false;
    // A remote name sent in EUC-JP may grow (half-width katakana take two bytes), and a character
    // without an EUC-JP form would become zero bytes that cut the name short.
    if (call.codeConversion == call.RemoteNameConversion()) {
        const std::string euc = ShiftJisToEuc(BackslashesToSlashes(call.Remote()));
        if (euc.size() > kMaxPath || euc.find('\0') != std::string::npos) return false;
    }
    return true;
}

int Transfer(JobRecord& record, const Call& call) {
    try {
        if (!Valid(call)) return SKIFF_INVALID_ARGUMENT;

        const std::string source = BackslashesToSlashes(call.source);
        const std::string destination = BackslashesToSlashes(call.destination);
        EnterExecutableDirectory();

        const bool upload = call.direction == kDirectionUpload;
        StoreField(record.host, call.host);
        StoreField(record.user, call.user);
        StoreField(record.password, call.password);
        StoreField(record.localPath, upload ? source : destination);
        StoreField(record.remotePath, upload ? destination : source);
        record.port = call.port;
        record.passive = call.passive;
        record.codeConversion = call.codeConversion;
        record.direction = call.direction;
        record.transferType = call.transferMode == 0 ? kTransferTypeAscii : kTransferTypeBinary;
        return upload ? RunUpload(record) : RunDownload(record);
    } catch (const std::bad_alloc&) {
        // No memory for the file's data.
        return SKIFF_TEMP_COPY_ERROR;
    } catch (...) {
        return SKIFF_REMOTE_ERROR;
    }
}

int Run(const Call& call) {
    // The record is made before the arguments are looked at, as a thread's first call may fail.
    JobRecord* record = CurrentJobRecord();
    if (record == nullptr) return SKIFF_NO_MEMORY;
    int code = Transfer(*record, call);
    if (code != SKIFF_OK && record->kept.WasGone()) {
        // The kept connection had died since the call before: the device restarted and answers with a
        // reset, or closed it. Its first exchange only went back to the login directory, into the
        // target's or opened a data connection, without a reply: nothing of the call reached a file
        // on the server, so the call starts over on a new connection, once, and ends as it would
        // have without a kept session.
        record->kept.Drop();
        code = Transfer(*record, call);
    }
    // A call that did not succeed leaves no session behind: a broken connection never carries over.
    if (code != SKIFF_OK) record->kept.Drop();
    return code;
}

}  // namespace
}  // namespace skiffs

int CSkiffClient::Skiff_SendD(const char* host, const char* user, const char* password, unsigned short port,
                              int transferMode, const char* localPath, const char* remotePath, int passive,
                              int codeConversion) {
    using namespace skiffs;
    return Run(Call{kDirectionUpload, Text(host), Text(user), Text(password), port, transferMode,
                    Text(localPath), Text(remotePath), passive, codeConversion});
}

int CSkiffClient::Skiff_GetD(const char* host, const char* user, const char* password, unsigned short port,
                             int transferMode, const char* remotePath, const char* localPath, int passive,
                             int codeConversion) {
    using namespace skiffs;
    return Run(Call{kDirectionDownload, Text(host), Text(user), Text(password), port, transferMode,
                    Text(remotePath), Text(localPath), passive, codeConversion});
}

extern "C" int Skiff_GetStatus(const char* host, int* total, int* done) {
    const skiffs::JobTable::Progress progress = skiffs::JobTable::Process().Status(skiffs::Text(host));
    if (total != nullptr) *total = progress.total;
    if (done != nullptr) *done = progress.done;
    return 0;
}

extern "C" int Skiff_Cancel(const char* host) {
    skiffs::JobTable::Process().Cancel(skiffs::Text(host));
    return 0;
}
