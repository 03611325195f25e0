// What tessel-pack and tessel-cli say about a package's signature: text for a terminal (UTF-8, still to be
// made visible) and JSON.
#pragma once

#include <string>

#include "pack/signature_check.h"
#include "pack/trusted_keys.h"

namespace tessel::pack {

// One line on the signature: checked and good (by whom), refused (why), or not checked when no key is
// trusted.
std::string SignatureVerdict(const SignatureCheck& check, const TrustedKeys& trusted);

// The verdict, then the signer the file declares and its statement, line by line.
std::string SignatureText(const SignatureCheck& check, const TrustedKeys& trusted);

// summaryJson with a "signature" object: "verified" (true, false, or null when nothing was checked),
// "signer", "key", "failure" and "files" (name, size, sha256).
std::string WithSignatureJson(const std::string& summaryJson, const SignatureCheck& check,
                              const TrustedKeys& trusted);

}  // namespace tessel::pack
