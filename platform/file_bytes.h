#pragma once
// Whole-file reads that tell a missing file from one that cannot be read, so
// that a writer never mistakes an unreadable file for an empty one.

#include <cstddef>
#include <filesystem>
#include <string>

namespace rxt {

enum class ReadStatus {
    Ok,
    Missing,     // nothing at the path (or a folder on the way is missing)
    Unreadable,  // not a regular file, no access, too large, or an I/O error
};

struct FileBytes {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
};

inline constexpr size_t kDefaultMaxFileBytes = size_t{64} << 20;

// Reads a regular file in full. Never blocks on a FIFO or device node.
FileBytes readFileBytes(const std::filesystem::path& file, size_t maxBytes = kDefaultMaxFileBytes);

}  // namespace rxt
