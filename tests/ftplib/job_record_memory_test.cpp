#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

#include "SkiffS/SkiffS.h"
#include "job_record.h"

#include <gtest/gtest.h>

namespace {

// While set, the next attempt to allocate a job record fails, as when memory has run out.
std::atomic<bool> failJobRecord{false};

}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (size == sizeof(skiffs::JobRecord) && failJobRecord.exchange(false)) return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

TEST(JobRecordMemory, NoMemoryForTheRecordIsReportedAndTheNextCallMakesOne) {
    int first = 0;
    int second = 0;
    // A fresh thread has no record yet.
    std::thread caller([&] {
        failJobRecord = true;
        first = CSkiffClient().Skiff_SendD("", "", "", 21, 1, "", "", 1, 0);
        second = CSkiffClient().Skiff_SendD("", "", "", 21, 1, "", "", 1, 0);
    });
    caller.join();
    EXPECT_EQ(first, SKIFF_NO_MEMORY);
    // The record exists now, so the same bad arguments are checked and refused.
    EXPECT_EQ(second, SKIFF_INVALID_ARGUMENT);
}

}  // namespace
