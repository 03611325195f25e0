#include "pack/signature_report.h"

#include <nlohmann/json.hpp>

#include "dialog/cp932.h"

namespace tessel::pack {

using json = nlohmann::json;

std::string SignatureVerdict(const SignatureCheck& check, const TrustedKeys& trusted) {
    if (check.verified) {
        return "signature: verified, signed by " + check.signer + " (" + check.fingerprint + ", trusted in " +
               trusted.folder + ")\n";
    }
    if (!trusted.enforced()) {
        return "signature: nothing was verified: no key is trusted (" + trusted.folder + " holds none)\n";
    }
    return "signature: refused: " + check.failure + "\n";
}

std::string SignatureText(const SignatureCheck& check, const TrustedKeys& trusted) {
    std::string text = SignatureVerdict(check, trusted);
    if (!check.statement) {
        if (!trusted.enforced()) text += "  " + check.failure + "\n";
        return text;
    }
    text += "  the signature file names the signer \"" + check.statement->signer + "\", key " +
            check.statement->keyFingerprint + "\n  signed files (size, SHA-256, name):\n";
    for (const StatementFile& file : check.statement->files) {
        text += "    " + std::to_string(file.size) + "  " + file.sha256 + "  " + Cp932ToUtf8(file.name) + "\n";
    }
    return text;
}

std::string WithSignatureJson(const std::string& summaryJson, const SignatureCheck& check,
                              const TrustedKeys& trusted) {
    json document = json::parse(summaryJson);
    json files = json::array();
    if (check.statement) {
        for (const StatementFile& file : check.statement->files) {
            files.push_back({{"name", Cp932ToUtf8(file.name)}, {"size", file.size}, {"sha256", file.sha256}});
        }
    }
    document["signature"] = {
        {"verified", trusted.enforced() ? json(check.verified) : json(nullptr)},
        {"signer", check.verified ? json(check.signer) : json(nullptr)},
        {"declared_signer", check.statement ? json(check.statement->signer) : json(nullptr)},
        {"key", check.statement ? json(check.statement->keyFingerprint) : json(nullptr)},
        {"failure", check.failure.empty() ? json(nullptr) : json(check.failure)},
        {"files", files}};
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace tessel::pack
