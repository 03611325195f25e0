#include "dialog/operator_texts.h"

#include <array>
#include <cstdio>
#include <utility>

#include "platform/file_uploader.h"

namespace tessel::texts {
namespace {

// Searched from the first row; a busy host and a full job table have no row.
constexpr std::array<std::pair<int, std::string_view>, 6> kFtpErrorTable = {{
    {kUploadInvalidArgument, "引数エラー"},
    {kUploadNoConnection, "コネクションエラー"},
    {kUploadLocalFileError, "自分側ファイルエラー"},
    {kUploadRemoteError, "サーバ側ファイルエラー"},
    {kUploadTempCopyError, "文字コード変換失敗"},
    {kUploadNoMemory, "メモリ確保失敗"},
}};

std::string WithPath(std::string_view text, std::string_view displayPath) {
    std::string message(text);
    message += '(';
    message += displayPath;
    message += ')';
    return message;
}

std::string WithReason(std::string message, std::string_view why) {
    if (!why.empty()) {
        message += '\n';
        message += why;
    }
    return message;
}

}  // namespace

std::string ReceiveNotificationError(int errorCode) {
    char text[32];
    std::snprintf(text, sizeof text, "Connect Err(0x%x)", static_cast<unsigned>(errorCode));
    return text;
}

std::string ExpansionStatus(int pollCount) {
    char text[32];
    std::snprintf(text, sizeof text, "展開中(%d)", pollCount);
    return text;
}

std::string FtpTransferProgress(std::size_t done, std::size_t count) {
    char text[64];
    std::snprintf(text, sizeof text, "FTP転送中(%zu/%zu)", done, count);
    return text;
}

std::string ScriptUploadError(int code, std::string_view displayPath) {
    return "FTP送信エラー(" + std::to_string(code) + ") \nfile = " + std::string(displayPath);
}

std::string PathTooLong(std::string_view displayPath) { return WithPath("ファイルパス文字数オーバー", displayPath); }

std::string SourceFileError(std::string_view displayPath) { return WithPath("送信元ファイル異常", displayPath); }

std::string JournalWriteError(std::string_view displayPath, std::string_view why) {
    return WithReason(WithPath("中断記録ファイル作成エラー", displayPath), why);
}

std::string JournalReadError(std::string_view displayPath, std::string_view why) {
    return WithReason(WithPath("中断記録ファイル読み込みエラー", displayPath), why);
}

std::string CannotCreate(std::string_view displayPath) { return WithPath("送信先ファイル作成エラー", displayPath); }

std::optional<std::string_view> FtpErrorText(int code) {
    for (const auto& [rowCode, text] : kFtpErrorTable) {
        if (rowCode == code) return text;
    }
    return std::nullopt;
}

std::string UploadFailureMessage(std::string_view prefix, int code) {
    return WithPath(prefix, FtpErrorText(code).value_or("戻り値不明"));
}

}  // namespace tessel::texts
