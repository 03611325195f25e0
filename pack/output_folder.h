// The folder a command writes into: a new one, or an empty one that is there already; nothing is written
// outside it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::pack {

class OutputFolder {
public:
    // Creates the folder (not its parents) or takes an empty one; a link, a file or a folder that holds
    // anything is refused, with why in error.
    static std::optional<OutputFolder> Open(const std::string& path, std::string& error);

    // Writes a new file at the path made of names, relative to the folder, making the folders on the way.
    // Each name is a plain name (not empty, ".", ".." or with a slash). False when it cannot.
    bool write(const std::vector<std::string>& names, std::string_view bytes);

    // Takes back all that was written; the folder itself goes when this created it.
    void discard();

    const std::string& path() const { return path_; }

private:
    OutputFolder(std::string path, bool created) : path_(std::move(path)), created_(created) {}

    std::string path_;
    bool created_;
    // Files and folders made, in the order they were made.
    std::vector<std::string> made_;
};

}  // namespace tessel::pack
