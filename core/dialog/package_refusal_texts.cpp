#include "dialog/operator_texts.h"

namespace tessel::texts {
namespace {

std::string_view RefusalText(PackageRefusal refusal) {
    switch (refusal) {
    case PackageRefusal::Unsigned: return "署名されていないパッケージです";
    case PackageRefusal::UntrustedKey: return "信頼されていない鍵で署名されています";
    case PackageRefusal::BadSignature: return "署名が一致しません";
    case PackageRefusal::FileChanged: return "署名後に変更されたファイルがあります";
    case PackageRefusal::FileMissing: return "署名されたファイルがありません";
    case PackageRefusal::FileNotSigned: return "署名されていないファイルがあります";
    case PackageRefusal::TrustedKeysUnusable: return "信頼する鍵を読めません";
    case PackageRefusal::CopyFailed: return "確認したファイルを保存できません";
    }
    return "署名を確認できません";
}

}  // namespace

std::string PackageRefused(PackageRefusal refusal, std::string_view subject) {
    std::string text = std::string(kPackageRefusedStatus) + "\n" + std::string(RefusalText(refusal));
    if (!subject.empty()) text += "(" + std::string(subject) + ")";
    return text;
}

}  // namespace tessel::texts
