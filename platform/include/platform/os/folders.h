#pragma once

#include <optional>
#include <string>

// The folders a run of the program uses, as the platform places them (narrow paths as in files.h).
namespace tessel::os {

// Where private work folders are made: $TMPDIR, else /tmp (also when another user controls $TMPDIR: owns it,
// or may rename entries in it); on Windows the user's temporary folder.
std::string TemporaryFolder();

// A new folder in TemporaryFolder() under a name nobody else holds, usable by its owner alone (on Windows the
// user's temporary folder already is); nullopt when it cannot be made.
std::optional<std::string> MakePrivateFolder();

// The folder, made owner-only (with missing parents) when it is not there, when it is the user's alone: not a
// link, owned by the user, and nobody else may write in it. Otherwise nullopt, and why says why in a few words
// ("another user owns it"). On Windows, where such folders are in the user's own profile, it makes them.
std::optional<std::string> MakeOwnFolder(const std::string& folder, std::string& why);

// Removes a folder with everything in it; nothing happens when it is not there.
void RemoveFolderTree(const std::string& folder);

// The folder for state kept between runs: $XDG_STATE_HOME/tessel, else ~/.local/state/tessel (absolute paths
// only); on Windows %LOCALAPPDATA%\Tessel. Empty when it cannot be told.
std::string StateFolder();

// The folder for files that live only while the user is logged in (locks): $XDG_RUNTIME_DIR/tessel, else
// /tmp/tessel-<uid>; on Windows %LOCALAPPDATA%\Tessel\run. Empty when it cannot be told.
std::string RuntimeFolder();

// The full path of the running program; empty when it cannot be told.
std::string ProgramPath();

}  // namespace tessel::os
