// The folder a command writes into: a new one, or an empty one of the user's own that nobody else can
// write in; nothing is written outside it. Every file and folder is made, and taken back, relative to a
// descriptor of the folder it lies in, so that a folder renamed or replaced by a link meanwhile cannot
// send a write or a removal elsewhere. On Windows the folders are held open by handles that forbid renaming
// or removing them while the command writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::pack {

class OutputFolder {
public:
    // Creates the folder (not its parents) or takes an empty one; a link, a file, a folder that holds
    // anything, one that another user owns or that others can write in is refused, with why in error.
    static std::optional<OutputFolder> Open(const std::string& path, std::string& error);

    OutputFolder(OutputFolder&&) noexcept;
    OutputFolder& operator=(OutputFolder&&) = delete;
    ~OutputFolder();

    // A new file being written, at a place in the folder.
    class File {
    public:
        // False once a write has failed; later ones then do nothing.
        bool append(std::string_view bytes);

    private:
        friend class OutputFolder;
        explicit File(std::intptr_t file) : file_(file) {}
        std::intptr_t file_;
        bool failed_ = false;
    };

    // Writes a new file at the path made of names, relative to the folder, making the folders on the way;
    // fill hands it its bytes and returns false when it cannot. Each name is a plain name (not empty, "."
    // or "..", no slash). False when the file cannot be made or filled; a file not filled is taken back.
    template <typename Fill>
    bool writeWith(const std::vector<std::string>& names, Fill fill) {
        const std::optional<std::intptr_t> fd = create(names);
        if (!fd) return false;
        File file(*fd);
        const bool filled = fill(file) && !file.failed_;
        return finish(*fd, filled);
    }
    bool write(const std::vector<std::string>& names, std::string_view bytes) {
        return writeWith(names, [bytes](File& file) { return file.append(bytes); });
    }

    // Takes back all that was written; the folder itself goes when this created it.
    void discard();

    const std::string& path() const { return path_; }

private:
    // Descriptors, or on Windows handles.
    struct Made {
        std::intptr_t folder;
        std::string name;
        bool isFolder;
    };
    OutputFolder(std::string path, std::intptr_t parent, std::intptr_t folder, bool created);

    // Whether name names an entry of one folder on this system (not empty, "." or "..", no separator).
    static bool IsPlainName(const std::string& name);
    // The descriptor of a new file at names, its folders made; nullopt when it cannot be made.
    std::optional<std::intptr_t> create(const std::vector<std::string>& names);
    // The open folder that is to hold the file at names: each folder on the way entered, or made, once.
    std::optional<std::intptr_t> folderFor(const std::vector<std::string>& names);
    // Closes the file; takes it back unless it was filled and closed well.
    bool finish(std::intptr_t file, bool filled);
    // The descriptor of the subfolder name of the folder open as parent, made when missing.
    std::optional<std::intptr_t> enter(std::intptr_t parent, const std::string& name);

    std::string path_;
    // The folder's parent (to remove the folder when this made it) and the folder.
    std::intptr_t parent_;
    std::intptr_t folder_;
    bool created_;
    // Everything made, in order, each by the descriptor of its folder and its name.
    std::vector<Made> made_;
    // Subfolders opened, by their path of names below the folder.
    std::vector<std::pair<std::string, std::intptr_t>> opened_;
};

}  // namespace tessel::pack
