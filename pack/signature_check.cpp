#include "pack/signature_check.h"

#include "dialog/cp932.h"
#include "dialog/local_file.h"
#include "dialog/update_management_file.h"
#include "pack/file_probe.h"
#include "pack/package_crypto.h"
#include "pack/sha256.h"
#include "pack/signed_files.h"

namespace tessel::pack {
namespace {

std::string Shown(const std::string& name) { return Cp932ToUtf8(name); }

// Records why the check failed; returns nullopt for the caller to pass on.
std::nullopt_t Refuse(SignatureCheck& check, PackageRefusal refusal, std::string subject, std::string failure) {
    check.refusal = refusal;
    check.subject = std::move(subject);
    check.failure = std::move(failure);
    return std::nullopt;
}

std::optional<SignatureFile> ReadSignatureFile(const std::string& packageDirectory, SignatureCheck& check) {
    const std::string name(kSignatureFileName);
    const std::string path = PackagePath(packageDirectory, kSignatureFileName);
    const FileProbe probe = ProbeFile(path, kMaxSignatureFileBytes);
    if (probe.state == FileState::Missing) {
        return Refuse(check, PackageRefusal::Unsigned, name, "the package is not signed: it has no " + name);
    }
    const std::optional<std::string> bytes =
        probe.state == FileState::Readable ? ReadFileBytes(path, kMaxSignatureFileBytes) : std::nullopt;
    if (!bytes) {
        return Refuse(check, PackageRefusal::BadSignature, name,
                      name + ": " + FileStateText(probe.state, kMaxSignatureFileBytes));
    }
    ParsedSignatureFile parsed = ParseSignatureFile(*bytes);
    if (!parsed.file) return Refuse(check, PackageRefusal::BadSignature, name, name + ": " + parsed.error);
    return std::move(parsed.file);
}

// Reads one signed file, bounded by its signed size, and compares it with the statement.
std::optional<std::string> ReadSignedFile(const std::string& packageDirectory, const StatementFile& file,
                                          SignatureCheck& check) {
    const std::string name = Shown(file.name);
    const std::string path = PackagePath(packageDirectory, file.name);
    if (file.size > kMaxSignedFileBytes) {
        return Refuse(check, PackageRefusal::FileChanged, name, name + ": signed as larger than 256 MiB");
    }
    const FileProbe probe = ProbeFile(path, file.size);
    if (probe.state == FileState::Missing) {
        return Refuse(check, PackageRefusal::FileMissing, name, name + ": signed, but missing from the package");
    }
    const std::optional<std::string> bytes =
        probe.state == FileState::Readable ? ReadFileBytes(path, file.size) : std::nullopt;
    if (probe.state == FileState::TooLarge || (bytes && bytes->size() != file.size)) {
        return Refuse(check, PackageRefusal::FileChanged, name,
                      name + ": changed after signing (" + std::to_string(bytes ? bytes->size() : probe.size) +
                          " bytes, signed " + std::to_string(file.size) + ")");
    }
    if (!bytes) {
        return Refuse(check, PackageRefusal::FileChanged, name, name + ": " + FileStateText(probe.state, file.size));
    }
    if (Sha256Hex(*bytes) != file.sha256) {
        return Refuse(check, PackageRefusal::FileChanged, name,
                      name + ": changed after signing (its SHA-256 differs from the signed one)");
    }
    return bytes;
}

}  // namespace

SignatureCheck ReadDeclaredSignature(const std::string& packageDirectory) {
    SignatureCheck check;
    if (std::optional<SignatureFile> file = ReadSignatureFile(packageDirectory, check)) {
        check.fingerprint = file->statement.keyFingerprint;
        check.statement = std::move(file->statement);
    }
    return check;
}

SignatureCheck CheckPackageSignature(const std::string& packageDirectory, const TrustedKeys& trusted, PackageScope scope,
                                     const CheckedFileSink& sink, const std::string& readFolder) {
    SignatureCheck check;
    if (!trusted.errors.empty()) {
        Refuse(check, PackageRefusal::TrustedKeysUnusable, trusted.folder,
               "the trusted keys cannot be used: " + trusted.errors.front());
        return check;
    }
    const std::optional<SignatureFile> file = ReadSignatureFile(packageDirectory, check);
    if (!file) return check;
    const TrustedKey* key = trusted.find(file->statement.keyFingerprint);
    if (!key) {
        Refuse(check, PackageRefusal::UntrustedKey, file->statement.signer,
               "signed by a key that is not trusted (" + file->statement.keyFingerprint + ", which calls itself \"" +
                   file->statement.signer + "\"); trusted keys lie in " + trusted.folder);
        return check;
    }
    const std::string signatureName(kSignatureFileName);
    if (!VerifyMessage(key->publicPem, file->statementText, file->signature)) {
        Refuse(check, PackageRefusal::BadSignature, signatureName,
               signatureName + ": the signature does not match its statement (changed after signing, or cut short)");
        return check;
    }
    for (const StatementFile& signedFile : file->statement.files) {
        const std::optional<std::string> bytes = ReadSignedFile(packageDirectory, signedFile, check);
        if (!bytes) return check;
        if (sink && !sink(signedFile, *bytes)) {
            Refuse(check, PackageRefusal::CopyFailed, Shown(signedFile.name),
                   Shown(signedFile.name) + ": the checked copy cannot be written");
            return check;
        }
    }
    std::string error;
    const std::vector<std::string> read = FilesReadByUpdate(readFolder, scope, error);
    if (!error.empty()) {
        Refuse(check, PackageRefusal::FileChanged, std::string(kUpdateManagementFileName), error);
        return check;
    }
    for (const std::string& name : read) {
        if (!file->statement.find(name)) {
            Refuse(check, PackageRefusal::FileNotSigned, Shown(name),
                   Shown(name) + ": the update reads it, but the signature does not cover it");
            return check;
        }
    }
    check.verified = true;
    check.signer = key->name;
    check.fingerprint = key->fingerprint;
    check.statement = file->statement;
    return check;
}

}  // namespace tessel::pack
