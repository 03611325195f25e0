// The process-wide table of running transfers, keyed by host, through which another thread watches
// progress or cancels. All operations are safe against each other.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string_view>

namespace skiffs {

class JobTable {
public:
    static constexpr int kEntries = 100;
    // A key holds at most this many bytes of a host name.
    static constexpr std::size_t kKeyLength = 63;

    enum class Claim { Claimed, TableFull, HostBusy };
    struct Started {
        Claim claim;
        // The index of the entry claimed; none unless claim is Claimed.
        std::optional<int> entry;
    };

    // Takes the first free entry for host, unless a transfer for host already holds one.
    // With every entry taken the transfer goes on without one (TableFull).
    Started Start(std::string_view host);
    // Frees the entry a transfer claimed. The transfer keeps its index rather than looking its host up
    // again: once it has ended, another transfer may hold an entry for the same host.
    void Release(int entry);

    void SetProgress(int index, std::int32_t total, std::int32_t done);
    bool CancelRequested(int index) const;

    struct Progress {
        std::int32_t total = 0;
        std::int32_t done = 0;
    };
    Progress Status(std::string_view host) const;
    void Cancel(std::string_view host);

    // The table every transfer of the process shares.
    static JobTable& Process();

private:
    struct Entry {
        std::int32_t inUse = 0;
        std::array<char, kKeyLength + 1> key{};
        std::int32_t total = 0;
        std::int32_t done = 0;
        std::int32_t cancel = 0;
    };

    // First entry whose key is host; callers hold the lock.
    Entry* FindKey(std::string_view host);
    const Entry* FindKey(std::string_view host) const;

    mutable std::mutex mutex_;
    std::array<Entry, kEntries> entries_{};
};

}  // namespace skiffs
