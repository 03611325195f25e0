#include "gui/dialog_template.h"

#include "dialog/control_ids.h"

namespace tessel {
namespace {

using enum ControlKind;

constexpr ControlTemplate kControls[] = {
    {kCloseButton, PushButton, "閉じる", {231, 122, 62, 19}, kDefaultButton},
    {kNoControlId, Label, "アドレス", {7, 15, 31, 8}, kPlain},
    {kNoControlId, Label, "ログインID", {7, 31, 31, 8}, kPlain},
    {kNoControlId, Label, "パスワード", {7, 48, 31, 8}, kPlain},
    {kNoControlId, Label, "FTPポート番号", {6, 63, 45, 8}, kHidden},
    {kAddressEdit, Edit, "", {56, 12, 84, 12}, kBordered},
    {kLoginIdEdit, Edit, "", {56, 28, 84, 12}, kBordered},
    {kPasswordEdit, Edit, "", {56, 44, 84, 12}, kBordered | kPassword},
    {kFtpPortEdit, Edit, "", {56, 60, 28, 12}, kBordered | kHidden | kReadOnly},
    {kFirmwareButton, PushButton, "ファーム・アップデート", {222, 21, 66, 21}, kPlain},
    {kNoControlId, GroupBox, "ファームウェア・アップデート", {150, 6, 144, 45}, kPlain},
    {kNoControlId, GroupBox, "スクリプト・アップデート", {150, 57, 144, 45}, kPlain},
    {kScriptButton, PushButton, "スクリプト・アップデート", {222, 72, 66, 21}, kPlain},
    {kNoControlId, Label, "バージョン", {156, 23, 33, 8}, kPlain},
    {kNoControlId, Label, "バージョン", {156, 74, 33, 8}, kPlain},
    {kFirmwareVersionEdit, Edit, "", {156, 33, 54, 12}, kBordered | kReadOnly},
    {kScriptVersionEdit, Edit, "", {156, 84, 54, 12}, kBordered | kReadOnly},
    {kStatusLine, Edit, "", {8, 111, 195, 12}, kBordered | kReadOnly},
    {kDetailLine, Edit, "", {8, 96, 132, 12}, kReadOnly},
    {kNoControlId, Label, "ORVEX TAL Corporation", {8, 133, 81, 8}, kPlain},
};

constexpr DialogTemplate kMainDialog{303, 149, "MS UI Gothic", 9, kControls};

}  // namespace

const DialogTemplate& MainDialogTemplate() { return kMainDialog; }

}  // namespace tessel
