#include "converted_copy.h"

#include <memory>
#include <string_view>

#include "code_converters.h"
#include "file_load.h"
#include "local_files.h"
#include "temp_folder.h"

namespace skiffs {

std::optional<std::string> ConvertedContent(const JobRecord& record, const std::string& source, std::string& tempName) {
    const bool ascii = record.transferType == kTransferTypeAscii;
    if (ascii) {
        // ASCII mode refuses an empty file, converted or not.
        const std::optional<std::uint64_t> size = FileSize(source);
        if (!size || *size == 0) return std::nullopt;
    }
    if (!ascii || record.codeConversion == kConvertNone) return source;
    tempName = NewTemporaryFile(record.serial);
    if (tempName.empty()) return std::nullopt;
    const std::unique_ptr<FileLoad> load = FileLoad::Start(source);
    const std::optional<std::string_view> text = load ? load->Whole() : std::nullopt;
    if (!text || text->empty()) return std::nullopt;
    if (!WriteNewFile(tempName, Convert(record.codeConversion, *text))) return std::nullopt;
    return tempName;
}

}  // namespace skiffs
