#include "pack/local_names.h"

#include "platform/os/code_page_932.h"

namespace tessel::pack {

std::vector<std::string> LocalNames(std::vector<std::string> deviceNames) {
    for (std::string& name : deviceNames) name = os::Cp932ToUtf8(name);
    if (!deviceNames.empty() && deviceNames.front().ends_with(':')) deviceNames.front().pop_back();
    return deviceNames;
}

}  // namespace tessel::pack
