// The two transfers that a call runs once its arguments are in the thread's job record; each gives a
// SkiffResult.
#pragma once

#include "SkiffS/SkiffS.h"
#include "job_record.h"

namespace skiffs {

int RunUpload(JobRecord& record);
int RunDownload(JobRecord& record);

}  // namespace skiffs
