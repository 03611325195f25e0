#include "procedures/upload_failure_message.h"

#include <array>
#include <utility>

namespace tessel {
namespace {

// Searched from the first row; -7 and -8 have no row.
constexpr std::array<std::pair<int, std::string_view>, 6> kFtpErrorTable = {{
    {-1, "引数エラー"},
    {-2, "コネクションエラー"},
    {-3, "自分側ファイルエラー"},
    {-4, "サーバ側ファイルエラー"},
    {-5, "文字コード変換失敗"},
    {-6, "メモリ確保失敗"},
}};

}  // namespace

std::optional<std::string_view> FtpErrorText(int code) {
    for (const auto& [rowCode, text] : kFtpErrorTable) {
        if (rowCode == code) return text;
    }
    return std::nullopt;
}

std::string UploadFailureMessage(std::string_view prefix, int code) {
    const std::string_view text = FtpErrorText(code).value_or("戻り値不明");
    std::string message(prefix);
    message += '(';
    message += text;
    message += ')';
    return message;
}

}  // namespace tessel
