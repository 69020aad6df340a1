#pragma once
// Whole-file replacement that a crash, a full disk or a concurrent reader can
// never observe half done: the bytes go to a temporary file in the same
// folder, are flushed to the disk, and the temporary file is renamed over the
// target. Readers see the old content or the new, nothing in between.

#include <cstddef>
#include <filesystem>
#include <span>
#include <string_view>

namespace rxt {

// Replaces (or creates) the file. On failure returns false with errno set,
// leaves the old file untouched and removes the temporary file; either way
// the result goes to noteWriteResult (write_failures.h). A symbolic link at the path
// is followed: the file it names is replaced and the link kept. An existing
// file's permission bits are kept; a new file gets 0666 less the umask.
bool writeFileAtomic(const std::filesystem::path& file, std::span<const std::byte> bytes);
bool writeFileAtomic(const std::filesystem::path& file, std::string_view bytes);

}  // namespace rxt
