#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// The text of the transfer library's return code, or nullopt for a code the table has no row for.
std::optional<std::string_view> FtpErrorText(int code);

// "<prefix>(<text of the code>)", or "<prefix>(戻り値不明)" when the code has no text; for example
// "FTP送信エラー[dat](サーバ側ファイルエラー)" for -4.
std::string UploadFailureMessage(std::string_view prefix, int code);

}  // namespace tessel
