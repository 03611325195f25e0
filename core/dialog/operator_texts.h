#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/package_gate.h"

// Every text the operator reads in the status line and the message boxes, each under one name. The texts are
// UTF-8 and shown as they are; paths passed in are already in display form.
namespace tessel::texts {

// Starting a connection.
inline constexpr std::string_view kSocketDeclareError = "Sock 宣言 Err!!";
inline constexpr std::string_view kSocketCreateError = "Sock 作成 Err!!";
inline constexpr std::string_view kConnectStartStatus = "Connect Err!!";
inline constexpr std::string_view kConnectStartBox = "Connect Err!!\nアドレスを確認してください";

// The connection, once started.
inline constexpr std::string_view kCommunicationError = "通信エラー\nIPアドレスや接続を確認してください";
inline constexpr std::string_view kConnectionError = "接続エラー";
inline constexpr std::string_view kReceiveError = "受信 Err!!";
// "Connect Err(0x<code>)": the socket reported an error with data waiting.
std::string ReceiveNotificationError(int errorCode);

// Login.
inline constexpr std::string_view kLoginIdStatus = "ログインID送信";
inline constexpr std::string_view kLoginIdSendError = "ID 送信 Error!!";
inline constexpr std::string_view kPasswordStatus = "パスワード送信";
inline constexpr std::string_view kPasswordSendError = "パスワード送信 Error!!";
inline constexpr std::string_view kLoginError = "ログイン Error!!";

// The watchdog and the restart.
inline constexpr std::string_view kUpdateFailed = "アップデート処理に失敗しました。";
inline constexpr std::string_view kUpdateFailedRestoring =
    "アップデート処理に失敗しました。\n状態を元に戻しますので、[OK]をクリックして、しばらくお待ちください。";
inline constexpr std::string_view kRestarting = "再起動中";
inline constexpr std::string_view kRebootSendError = "reboot 送信 Error!!";

// Firmware update.
inline constexpr std::string_view kFirmwareTransferStatus = "ファーム転送中";
inline constexpr std::string_view kFirmwareUploadError = "FTP送信エラー";
inline constexpr std::string_view kFirmwareDataUploadError = "FTP送信エラー[dat]";
inline constexpr std::string_view kVersionScriptUploadError = "FTP送信エラー[GetSysVer]";
inline constexpr std::string_view kVersionCheckStatus = "ファームバージョン確認中";
inline constexpr std::string_view kVersionScriptSendError = "GetSysVer 送信 Error!!";
inline constexpr std::string_view kVersionReplyError = "getsysver ack Error !!";
inline constexpr std::string_view kVersionError = "getsysver Version Error !!";
inline constexpr std::string_view kExpansionStartStatus = "ファームの展開を開始";
inline constexpr std::string_view kSysupSendError = "sysup 送信 Error!!";
inline constexpr std::string_view kSysupReplyError = "sysup ack Error1 !!";
inline constexpr std::string_view kSysupConfirmSendError = "sysup1 送信 Error!!";
inline constexpr std::string_view kUpdateCheckError = "Update Check Error!!";
inline constexpr std::string_view kExpansionReplyError = "sysup ack Error2 !!";
// "展開中(<count>)": the device is still expanding the image.
std::string ExpansionStatus(int pollCount);
inline constexpr std::string_view kFirmwareDoneStatus = "ファームウェア・アップデート終了";
inline constexpr std::string_view kFirmwareDoneBox = "ファームウェア・アップデートが終了しました。";

// Script update.
inline constexpr std::string_view kLockOffStatus = "ロックOFF";
inline constexpr std::string_view kLockOffSendError = "LockOff 送信 Error!!";
inline constexpr std::string_view kLockOffError = "Lock解除 Error!!";
inline constexpr std::string_view kMakeFolderStatus = "MKDIR";
inline constexpr std::string_view kMakeFolderSendError = "フォルダ作成 送信 Error!!";
inline constexpr std::string_view kManagementFileError = "アップデート管理ファイル異常";
inline constexpr std::string_view kUpdateFileError = "アップデートファイル異常";
inline constexpr std::string_view kFtpTransferStatus = "FTP転送中";
// "FTP転送中(<done>/<count>)".
std::string FtpTransferProgress(std::size_t done, std::size_t count);
// "FTP送信エラー(<code>) \nfile = <path>".
std::string ScriptUploadError(int code, std::string_view displayPath);
inline constexpr std::string_view kScriptDoneStatus = "スクリプト・アップデート終了";
inline constexpr std::string_view kScriptDoneBox = "スクリプト・アップデートが終了しました。";
inline constexpr std::string_view kScriptFailedStatus = "スクリプト・アップデートできませんでした。";
inline constexpr std::string_view kScriptFailedBox = "スクリプト・アップデートができませんでした。";

// Moving the device's autoscript aside and back.
inline constexpr std::string_view kAutoScriptMoveStatus = "AutoScript移動中";
inline constexpr std::string_view kAutoScriptMoveSendError = "AutoScript移動コマンド送信 Error!!";
inline constexpr std::string_view kMoveCommandError = "移動コマンド失敗!";
inline constexpr std::string_view kAutoScriptUploadError = "FTP送信エラー";

// The version query, the restore alone, and an update that was cut off.
inline constexpr std::string_view kVersionReadStatus = "ファームバージョン確認終了";
inline constexpr std::string_view kRestoreDoneStatus = "AutoScript復元終了";
inline constexpr std::string_view kRestoreDoneBox = "AutoScriptを元に戻しました。";
inline constexpr std::string_view kEarlierUpdateInterrupted =
    "前回のアップデートが中断されています。\n先にAutoScriptを元に戻します。";
// "中断記録ファイル作成エラー(<path>)": the record of a running update cannot be written.
// why (when not empty) follows on a line of its own.
std::string JournalWriteError(std::string_view displayPath, std::string_view why);
std::string JournalReadError(std::string_view displayPath, std::string_view why);

// Local files.
// "ファイルパス文字数オーバー(<path>)": a package path is longer than the program can hold.
std::string PathTooLong(std::string_view displayPath);
// "送信元ファイル異常(<path>)": a listed package file cannot be read.
std::string SourceFileError(std::string_view displayPath);
// "送信先ファイル作成エラー(<path>)": a file the run writes itself cannot be created.
std::string CannotCreate(std::string_view displayPath);

// A package whose signature the package gate refuses.
inline constexpr std::string_view kPackageRefusedStatus = "署名確認エラー";
// "署名確認エラー" and what failed, e.g. "署名後に変更されたファイルがあります(w001.dat)"; subject is UTF-8.
std::string PackageRefused(PackageRefusal refusal, std::string_view subject);

// The operator's input.
inline constexpr std::string_view kAddressTooLong = "アドレス文字数オーバー";
inline constexpr std::string_view kAddressUnencodable = "アドレスに使用できない文字が含まれています";
inline constexpr std::string_view kLoginIdTooLong = "ログインID文字数オーバー";
inline constexpr std::string_view kLoginIdUnencodable = "ログインIDに使用できない文字が含まれています";
inline constexpr std::string_view kPasswordTooLong = "パスワード文字数オーバー";
inline constexpr std::string_view kPasswordUnencodable = "パスワードに使用できない文字が含まれています";

// The text of the transfer library's return code, or nullopt for a code the table has no row for.
std::optional<std::string_view> FtpErrorText(int code);
// "<prefix>(<text of the code>)", or "<prefix>(戻り値不明)" when the code has no text; for example
// "FTP送信エラー[dat](サーバ側ファイルエラー)" for -4.
std::string UploadFailureMessage(std::string_view prefix, int code);

}  // namespace tessel::texts
