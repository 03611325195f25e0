// The calling thread's job record: the arguments of the running call, copied into fixed fields, and
// the FTP session the thread keeps between its calls.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "kept_session.h"

namespace skiffs {

inline constexpr int kTransferTypeAscii = 1;
inline constexpr int kTransferTypeBinary = 2;

inline constexpr int kDirectionUpload = 0;
inline constexpr int kDirectionDownload = 1;

// Capacity of a path field, terminator included.
inline constexpr std::size_t kPathField = 261;

struct JobRecord {
    std::array<char, 128> host{};
    std::array<char, 256> user{};
    std::array<char, 32> password{};
    std::uint16_t port = 0;
    std::int32_t transferType = 0;
    std::int32_t codeConversion = 0;
    std::array<char, kPathField> localPath{};
    std::array<char, kPathField> remotePath{};
    std::int32_t direction = 0;
    std::int32_t passive = 0;
    // Number that names this thread's temporary file; unique within the process.
    std::uint64_t serial = 0;
    // Empty unless SKIFFS_KEEP_SESSION is 1; closed when the thread ends and the record with it.
    KeptSession kept;
};

// The calling thread's record, created zero-filled on first use and freed when the thread ends; null
// when memory ran out.
JobRecord* CurrentJobRecord();

// Copies text into a fixed field. The caller has checked that it fits.
template <std::size_t N>
void StoreField(std::array<char, N>& field, std::string_view text) {
    field.fill('\0');
    text.copy(field.data(), N - 1);
}

template <std::size_t N>
std::string_view FieldText(const std::array<char, N>& field) {
    return std::string_view(field.data());
}

}  // namespace skiffs
