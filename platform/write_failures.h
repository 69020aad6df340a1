#pragma once
// Files that could not be written: a read-only or full folder, a file where
// a folder belongs. Every atomic file write reports its result here. A watch
// on a folder hears the first failure inside it, and nothing more until a
// write to the folder that failed succeeds again: a broken data folder is
// reported once, not at every change.

#include <filesystem>
#include <functional>
#include <string>

namespace rxt {

struct WriteFailure {
    std::filesystem::path file;
    int error = 0;  // errno
};

using WriteFailureSink = std::function<void(const WriteFailure&)>;

// Watches the files under `folder` (replacing any watch; an empty sink ends
// it). The sink runs on the writer's thread, outside any lock. Any thread.
void watchWriteFailures(const std::filesystem::path& folder, WriteFailureSink sink);

// A write's result: `error` 0 when the file was written, else its errno.
void noteWriteResult(const std::filesystem::path& file, int error);

// "<folder of the file>: <reason>", for the message shown to the user.
std::string describeWriteFailure(const WriteFailure& failure);

}  // namespace rxt
