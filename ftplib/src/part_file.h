// A download's data on its way to the local file: written as it arrives into a new file beside the
// local one, which takes the local file's place only once the transfer has ended well. Until then
// the local file stays as it was.
#pragma once

#include <string>
#include <string_view>

namespace skiffs {

class PartFile {
public:
    // Creates the new file exclusively beside target; Open() tells whether that worked.
    explicit PartFile(std::string target);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool Open() const { return fd_ >= 0; }
    bool Write(std::string_view bytes);
    // Puts the data in the target's place, with the target's permissions when it existed.
    bool Commit();

private:
    std::string target_;
    std::string path_;
    int fd_ = -1;
};

}  // namespace skiffs
