#include "pack/package_signing.h"

#include <filesystem>

#include "dialog/cp932.h"
#include "dialog/local_file.h"
#include "dialog/update_management_file.h"
#include "pack/package_crypto.h"
#include "pack/sha256.h"
#include "pack/signed_files.h"
#include "platform/os/files.h"

namespace tessel::pack {
namespace {

// The signing key and who it names, or why it cannot sign.
struct SigningKey {
    std::string privatePem;
    std::string signer;
    std::string fingerprint;
};

std::optional<SigningKey> ReadSigningKey(const std::string& keyPath, std::vector<std::string>& errors) {
    const std::optional<std::string> pem = ReadFileBytes(keyPath, kMaxKeyFileBytes);
    if (!pem) {
        errors.push_back(keyPath + ": missing, a link, not a regular file, or larger than 16 KiB");
        return std::nullopt;
    }
    std::string error;
    const std::optional<std::string> publicPem = PublicKeyOf(*pem, error);
    const std::optional<std::string> fingerprint =
        publicPem ? PublicKeyFingerprint(*publicPem, error) : std::nullopt;
    if (!fingerprint) {
        errors.push_back(keyPath + ": " + error);
        return std::nullopt;
    }
    return SigningKey{*pem, std::filesystem::path(keyPath).stem().string(), *fingerprint};
}

// A file that everybody may read, like the rest of a package and a public key.
bool WritePublicFile(const std::string& path, std::string_view bytes) {
    std::error_code error;
    if (!os::WriteNewFile(path, bytes)) return false;
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read | std::filesystem::perms::others_read,
                                 error);
    return true;
}

bool WriteReplacing(const std::string& path, std::string_view bytes) {
    const std::string fresh = path + ".new";
    os::RemoveFile(fresh);
    if (WritePublicFile(fresh, bytes) && os::ReplaceFileAtomically(fresh, path)) return true;
    os::RemoveFile(fresh);
    return false;
}

}  // namespace

std::vector<std::string> WriteKeyPair(const std::string& name) {
    const std::optional<KeyPair> pair = GenerateKeyPair();
    if (!pair) return {"the system cannot make a P-256 key"};
    const std::string privatePath = name + ".key";
    const std::string publicPath = name + ".pub";
    if (!os::WriteNewFile(privatePath, pair->privatePem)) {
        return {privatePath + " cannot be created (it must not exist yet)"};
    }
    if (!WritePublicFile(publicPath, pair->publicPem)) {
        os::RemoveFile(privatePath);
        return {publicPath + " cannot be created (it must not exist yet)"};
    }
    return {};
}

SignOutcome SignPackage(const std::string& packageDirectory, const std::string& keyPath) {
    SignOutcome outcome;
    const std::optional<SigningKey> key = ReadSigningKey(keyPath, outcome.errors);
    if (!key) return outcome;
    std::string error;
    const std::vector<std::string> names = FilesReadByUpdate(packageDirectory, PackageScope::Whole, error);
    if (!error.empty()) outcome.errors.push_back(error);
    if (names.empty()) {
        outcome.errors.push_back(packageDirectory + ": no file to sign");
        return outcome;
    }
    outcome.statement.signer = key->signer;
    outcome.statement.keyFingerprint = key->fingerprint;
    for (const std::string& name : names) {
        const std::optional<std::string> bytes = ReadFileBytes(PackagePath(packageDirectory, name), kMaxSignedFileBytes);
        if (!IsStatementName(name) || !bytes) {
            outcome.errors.push_back(Cp932ToUtf8(name) + ": cannot be signed: missing, not a regular file, or larger "
                                                         "than 256 MiB");
            continue;
        }
        outcome.statement.files.push_back({name, bytes->size(), Sha256Hex(*bytes)});
    }
    if (!outcome.errors.empty()) return outcome;
    const std::string statementText = StatementText(outcome.statement);
    const std::optional<std::string> signature = SignMessage(key->privatePem, statementText, error);
    if (!signature) {
        outcome.errors.push_back(keyPath + ": " + error);
        return outcome;
    }
    const std::string path = PackagePath(packageDirectory, kSignatureFileName);
    if (!WriteReplacing(path, SignatureFileText(statementText, *signature))) {
        outcome.errors.push_back(path + " cannot be written");
        return outcome;
    }
    outcome.done = true;
    return outcome;
}

}  // namespace tessel::pack
