#include "job_record.h"

#include <atomic>
#include <memory>
#include <new>

namespace skiffs {

JobRecord* CurrentJobRecord() {
    // Freed when the thread ends.
    thread_local std::unique_ptr<JobRecord> record;
    if (!record) {
        static std::atomic<std::uint64_t> nextSerial{1};
        record.reset(new (std::nothrow) JobRecord());
        if (record) record->serial = nextSerial.fetch_add(1);
    }
    return record.get();
}

}  // namespace skiffs
