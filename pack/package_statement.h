// The signed statement of an update package and the signature file that carries it beside the management
// file. The statement is text that sha256sum -c reads (its comment lines are skipped): a header, the signer's
// name and key, then for each file a size line and a "<sha256>  <name>" line. The signature file is the
// statement followed by one line "# signature: <base64 of the DER signature of the statement>".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::pack {

inline constexpr std::string_view kSignatureFileName = "UpDateMng.sig";
// A statement of a thousand listed files is some 100 KiB.
inline constexpr std::size_t kMaxSignatureFileBytes = 1024 * 1024;

struct StatementFile {
    // Code page 932 bytes, as the package names the file.
    std::string name;
    std::uintmax_t size = 0;
    // Lower-case hexadecimal.
    std::string sha256;
};

struct PackageStatement {
    // The name the signer gave, as written; it proves nothing by itself.
    std::string signer;
    // PublicKeyFingerprint of the signing key.
    std::string keyFingerprint;
    std::vector<StatementFile> files;

    const StatementFile* find(std::string_view name) const;
};

// The statement's bytes, which the signature covers.
std::string StatementText(const PackageStatement& statement);

// Whether a name can stand in a statement: one plain file name of a line.
bool IsStatementName(std::string_view name);

struct SignatureFile {
    PackageStatement statement;
    // The statement's bytes as the file holds them.
    std::string statementText;
    // DER.
    std::string signature;
};

struct ParsedSignatureFile {
    std::optional<SignatureFile> file;
    // Why the file is no signature file, with the line at fault.
    std::string error;
};

std::string SignatureFileText(std::string_view statementText, std::string_view signature);
ParsedSignatureFile ParseSignatureFile(std::string_view bytes);

}  // namespace tessel::pack
