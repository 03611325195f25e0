// The trusted public keys: the files NAME.pub of one folder. The folder is untrusted input: its files are
// bounded in size and number, no link is followed, and a file that is not a key is an error, not skipped.
#pragma once

#include <string>
#include <vector>

#include "pack/trust_folder.h"

namespace tessel::pack {

struct TrustedKey {
    // NAME of NAME.pub.
    std::string name;
    std::string publicPem;
    std::string fingerprint;
};

struct TrustedKeys {
    std::string folder;
    std::vector<TrustedKey> keys;
    // Why the folder or one of its key files cannot be used; an update is refused while there is one.
    std::vector<std::string> errors;

    // Keys are trusted (or meant to be): every update must be signed by one of them.
    bool enforced() const { return !keys.empty() || !errors.empty(); }
    const TrustedKey* find(const std::string& fingerprint) const;
};

TrustedKeys LoadTrustedKeys(const TrustFolder& folder);

}  // namespace tessel::pack
