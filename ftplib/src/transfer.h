// The two transfers that a call runs once its arguments are in the thread's job record.
#pragma once

#include "job_record.h"

namespace skiffs {

inline constexpr int kOk = 0;
inline constexpr int kInvalidArgument = -1;
inline constexpr int kNoConnection = -2;
inline constexpr int kLocalFile = -3;
inline constexpr int kRemoteSide = -4;
inline constexpr int kTemporaryCopy = -5;
inline constexpr int kNoJobRecord = -6;
inline constexpr int kHostBusy = -7;
inline constexpr int kNoJobEntry = -8;

int RunUpload(JobRecord& record);
int RunDownload(JobRecord& record);

}  // namespace skiffs
