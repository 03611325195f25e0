#include "job_table.h"

#include <algorithm>

namespace skiffs {

namespace {

template <typename EntryArray>
auto* FirstWithKey(EntryArray& entries, std::string_view host) {
    // Free entries are all zero: an empty host never names a transfer.
    auto found = host.empty() ? entries.end()
                              : std::find_if(entries.begin(), entries.end(),
                                             [&](const auto& e) { return host == e.key.data(); });
    return found == entries.end() ? nullptr : &*found;
}

}  // namespace

JobTable::Entry* JobTable::FindKey(std::string_view host) { return FirstWithKey(entries_, host); }

const JobTable::Entry* JobTable::FindKey(std::string_view host) const {
    return FirstWithKey(entries_, host);
}

JobTable::Started JobTable::Start(std::string_view host) {
    std::lock_guard lock(mutex_);
    for (const Entry& e : entries_) {
        if (e.inUse != 0 && host == e.key.data()) return {Claim::HostBusy, std::nullopt};
    }
    for (int i = 0; i < kEntries; ++i) {
        Entry& e = entries_[i];
        if (e.inUse == 0) {
            e = Entry{};
            e.inUse = 1;
            host.substr(0, kKeyLength).copy(e.key.data(), kKeyLength);
            return {Claim::Claimed, i};
        }
    }
    return {Claim::TableFull, std::nullopt};
}

void JobTable::Release(int entry) {
    std::lock_guard lock(mutex_);
    entries_[entry] = Entry{};
}

void JobTable::SetProgress(int index, std::int32_t total, std::int32_t done) {
    std::lock_guard lock(mutex_);
    entries_[index].total = total;
    entries_[index].done = done;
}

bool JobTable::CancelRequested(int index) const {
    std::lock_guard lock(mutex_);
    return entries_[index].cancel != 0;
}

JobTable::Progress JobTable::Status(std::string_view host) const {
    std::lock_guard lock(mutex_);
    const Entry* e = FindKey(host);
    return e ? Progress{e->total, e->done} : Progress{};
}

void JobTable::Cancel(std::string_view host) {
    std::lock_guard lock(mutex_);
    if (Entry* e = FindKey(host)) e->cancel = 1;
}

JobTable& JobTable::Process() {
    static JobTable table;
    return table;
}

}  // namespace skiffs
