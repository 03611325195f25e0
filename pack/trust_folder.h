// Where the trusted public keys of signed packages lie.
#pragma once

#include <string>
#include <vector>

namespace tessel::pack {

inline constexpr const char* kTrustedKeysVariable = "TESSEL_TRUSTED_KEYS";

struct TrustFolder {
    std::string folder;
    // Named by the command line or TESSEL_TRUSTED_KEYS: it must be there. A default folder may be missing,
    // which trusts no key.
    bool named = false;
};

// The system's default folders, the user's first: on Linux $XDG_CONFIG_HOME/tessel/trusted-keys (else
// ~/.config/tessel/trusted-keys), then /etc/tessel/trusted-keys; on Windows %APPDATA%\Tessel\trusted-keys, then
// %ProgramData%\Tessel\trusted-keys.
std::vector<std::string> DefaultTrustFolders();

// The folder named on the command line (when not empty), else TESSEL_TRUSTED_KEYS, else the first default
// folder that is there, else the last default one.
TrustFolder FindTrustFolder(const std::string& commandLineFolder);

}  // namespace tessel::pack
