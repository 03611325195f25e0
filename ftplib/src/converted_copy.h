// The converted copy of a file that an ASCII transfer with a code conversion sends or leaves.
#pragma once

#include <optional>
#include <string>

#include "job_record.h"

namespace skiffs {

// The file whose bytes a transfer uses for source: source itself when nothing is converted, else
// a converted copy in the process's private folder, whose name is then left in tempName. The
// conversion is the record's, applied in ASCII mode only. Nothing when the copy cannot be made; an
// empty source fails in ASCII mode.
std::optional<std::string> ConvertedContent(const JobRecord& record, const std::string& source, std::string& tempName);

}  // namespace skiffs
