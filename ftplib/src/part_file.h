// A download's data on its way to the local file: written as it arrives into a new file beside the
// local one, which takes the local file's place only once the transfer has ended well. Until then
// the local file stays as it was; a part file given up is removed.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace skiffs {

class PartFile {
public:
    // Creates the new file exclusively beside target, named like it with ".part-" and six characters
    // appended; nothing when it cannot be made.
    static std::unique_ptr<PartFile> Create(const std::string& target);

    virtual ~PartFile() = default;
    virtual bool Write(std::string_view bytes) = 0;
    // Puts the data in the target's place, with the target's permissions when it existed.
    virtual bool Commit() = 0;
};

}  // namespace skiffs
