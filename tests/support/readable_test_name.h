// Names for the cases of parameterised tests, made from a case's description, so that CTest lists
// "Entries/PackageFault.IsReportedWithItsFileAndLine/ADevicePathOnDriveD" rather than an index or bytes.
#pragma once

#include <string>
#include <string_view>

namespace tessel::test {

// The description's ASCII letters and digits, each word begun with a capital; everything else is dropped.
inline std::string ReadableTestName(std::string_view description) {
    std::string name;
    bool wordStart = true;
    for (const char c : description) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit) {
            wordStart = true;
            continue;
        }
        name += wordStart && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        wordStart = false;
    }
    return name.empty() ? std::string("Unnamed") : name;
}

}  // namespace tessel::test
