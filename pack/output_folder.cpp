#include "pack/output_folder.h"

namespace tessel::pack {

std::optional<std::intptr_t> OutputFolder::folderFor(const std::vector<std::string>& names) {
    if (names.empty()) return std::nullopt;
    std::intptr_t folder = folder_;
    std::string below;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        // Checked before the folders already open are looked at: "a/b" must not find the folder b in a.
        if (!IsPlainName(names[i])) return std::nullopt;
        below += names[i] + '/';
        auto known = opened_.begin();
        while (known != opened_.end() && known->first != below) ++known;
        if (known != opened_.end()) {
            folder = known->second;
            continue;
        }
        const std::optional<std::intptr_t> entered = enter(folder, names[i]);
        if (!entered) return std::nullopt;
        opened_.emplace_back(below, *entered);
        folder = *entered;
    }
    return folder;
}

}  // namespace tessel::pack
