#include "pack/package_statement.h"

#include <charconv>

#include "pack/package_crypto.h"

namespace tessel::pack {
namespace {

constexpr std::string_view kHeaderLine = "# Tessel update package statement 1";
constexpr std::string_view kSignerPrefix = "# signer: ";
constexpr std::string_view kKeyPrefix = "# key: ";
constexpr std::string_view kSizePrefix = "# size: ";
constexpr std::string_view kSignaturePrefix = "# signature: ";
constexpr std::size_t kMaxSignerBytes = 200;
constexpr std::size_t kHashDigits = 64;

bool IsHex(std::string_view text, std::size_t digits) {
    if (text.size() != digits) return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

bool IsKeyFingerprint(std::string_view text) {
    return text.starts_with("SHA256:") && IsHex(text.substr(7), kHashDigits);
}

std::optional<std::uintmax_t> ParseSize(std::string_view text) {
    std::uintmax_t size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return size;
}

// The lines of text, each without its LF; the text ends with an LF.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

std::string LineError(std::size_t index, std::string_view what) {
    return "line " + std::to_string(index + 1) + ": " + std::string(what);
}

// The statement's lines parsed; error names the first line at fault.
std::optional<PackageStatement> ParseStatement(const std::vector<std::string_view>& lines, std::string& error) {
    PackageStatement statement;
    if (lines.size() < 3 || lines[0] != kHeaderLine) {
        error = LineError(0, "not a Tessel package statement");
        return std::nullopt;
    }
    if (!lines[1].starts_with(kSignerPrefix) || lines[1].size() > kSignerPrefix.size() + kMaxSignerBytes) {
        error = LineError(1, "no signer");
        return std::nullopt;
    }
    statement.signer = lines[1].substr(kSignerPrefix.size());
    if (!lines[2].starts_with(kKeyPrefix) || !IsKeyFingerprint(lines[2].substr(kKeyPrefix.size()))) {
        error = LineError(2, "no key fingerprint");
        return std::nullopt;
    }
    statement.keyFingerprint = lines[2].substr(kKeyPrefix.size());
    for (std::size_t i = 3; i < lines.size(); i += 2) {
        const std::optional<std::uintmax_t> size =
            lines[i].starts_with(kSizePrefix) ? ParseSize(lines[i].substr(kSizePrefix.size())) : std::nullopt;
        if (!size) {
            error = LineError(i, "no file size");
            return std::nullopt;
        }
        const std::string_view fileLine = i + 1 < lines.size() ? lines[i + 1] : std::string_view();
        const std::string_view name = fileLine.size() > kHashDigits + 2 ? fileLine.substr(kHashDigits + 2) : "";
        if (!IsHex(fileLine.substr(0, kHashDigits), kHashDigits) || fileLine.substr(kHashDigits, 2) != "  " ||
            !IsStatementName(name) || statement.find(name)) {
            error = LineError(i + 1, "no SHA-256 and file name, or a file named twice");
            return std::nullopt;
        }
        statement.files.push_back({std::string(name), *size, std::string(fileLine.substr(0, kHashDigits))});
    }
    return statement;
}

}  // namespace

const StatementFile* PackageStatement::find(std::string_view name) const {
    for (const StatementFile& file : files) {
        if (file.name == name) return &file;
    }
    return nullptr;
}

bool IsStatementName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.front() == '\\') return false;
    for (const char c : name) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
}

std::string StatementText(const PackageStatement& statement) {
    std::string text = std::string(kHeaderLine) + "\n";
    text += std::string(kSignerPrefix) + statement.signer + "\n";
    text += std::string(kKeyPrefix) + statement.keyFingerprint + "\n";
    for (const StatementFile& file : statement.files) {
        text += std::string(kSizePrefix) + std::to_string(file.size) + "\n";
        text += file.sha256 + "  " + file.name + "\n";
    }
    return text;
}

std::string SignatureFileText(std::string_view statementText, std::string_view signature) {
    return std::string(statementText) + std::string(kSignaturePrefix) + Base64Encode(signature) + "\n";
}

ParsedSignatureFile ParseSignatureFile(std::string_view bytes) {
    ParsedSignatureFile parsed;
    if (bytes.empty() || bytes.back() != '\n') {
        parsed.error = "cut short: it does not end with a whole line";
        return parsed;
    }
    const std::vector<std::string_view> lines = Lines(bytes);
    const std::string_view last = lines.back();
    const std::optional<std::string> signature =
        last.starts_with(kSignaturePrefix) ? Base64Decode(last.substr(kSignaturePrefix.size())) : std::nullopt;
    if (!signature) {
        parsed.error = LineError(lines.size() - 1, "no signature line");
        return parsed;
    }
    std::optional<PackageStatement> statement =
        ParseStatement(std::vector<std::string_view>(lines.begin(), lines.end() - 1), parsed.error);
    if (!statement) return parsed;
    const std::size_t statementBytes = bytes.size() - last.size() - 1;
    parsed.file = SignatureFile{std::move(*statement), std::string(bytes.substr(0, statementBytes)), *signature};
    return parsed;
}

}  // namespace tessel::pack
