#include "platform/write_failures.h"

#include <cstring>
#include <mutex>

namespace rxt {
namespace {

struct Watch {
    std::mutex mutex;
    std::filesystem::path folder;  // lexically normal, no trailing '/'
    WriteFailureSink sink;
    bool failing = false;
    std::filesystem::path failedFolder;
};

Watch& watch() {
    static Watch w;
    return w;
}

std::filesystem::path normal(const std::filesystem::path& p) {
    std::filesystem::path n = p.lexically_normal();
    if (n.has_relative_path() && !n.has_filename()) {
        n = n.parent_path();  // "a/b/" -> "a/b"
    }
    return n;
}

bool inside(const std::filesystem::path& file, const std::filesystem::path& folder) {
    const std::filesystem::path rel = file.lexically_relative(folder);
    return !rel.empty() && *rel.begin() != "..";
}

}  // namespace

void watchWriteFailures(const std::filesystem::path& folder, WriteFailureSink sink) {
    Watch& w = watch();
    std::lock_guard lock(w.mutex);
    w.folder = normal(folder);
    w.sink = std::move(sink);
    w.failing = false;
    w.failedFolder.clear();
}

void noteWriteResult(const std::filesystem::path& file, int error) {
    Watch& w = watch();
    WriteFailureSink sink;
    const std::filesystem::path path = normal(file);
    {
        std::lock_guard lock(w.mutex);
        if (!w.sink || !inside(path, w.folder)) {
            return;
        }
        if (error == 0) {
            if (w.failing && path.parent_path() == w.failedFolder) {
                w.failing = false;
            }
            return;
        }
        if (w.failing) {
            return;
        }
        w.failing = true;
        w.failedFolder = path.parent_path();
        sink = w.sink;
    }
    sink(WriteFailure{file, error});
}

std::string describeWriteFailure(const WriteFailure& failure) {
    std::string text = normal(failure.file).parent_path().string();
    text += ": ";
    text += failure.error != 0 ? std::strerror(failure.error) : "cannot be written";
    return text;
}

}  // namespace rxt
