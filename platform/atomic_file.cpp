#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>

namespace rxt {
namespace {

// A name no other writer (thread or process) picks at the same time.
std::string temporaryName(const std::string& fileName, unsigned attempt) {
    static std::atomic<unsigned long> counter{0};
    const auto ticks =
        static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count());
    // Keep room for the suffix within the file-name length limit.
    std::string name(1, '.');
    name.append(fileName, 0, 120);
    name += ".tmp-";
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(counter.fetch_add(1) ^ (ticks & 0xFFFFF));
    name += '-';
    name += std::to_string(attempt);
    return name;
}

bool writeAll(int fd, const std::byte* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool writeFileAtomic(const std::filesystem::path& file, std::span<const std::byte> bytes) {
    std::filesystem::path target = file;
    std::error_code ec;
    if (std::filesystem::is_symlink(file, ec)) {
        target = std::filesystem::weakly_canonical(file, ec);
        if (ec) {
            return false;
        }
    }
    if (!target.has_filename()) {
        return false;
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");

    struct stat old {};
    const bool hadFile = ::stat(target.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode)) {
        return false;
    }

    std::filesystem::path temp;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = folder / temporaryName(target.filename().string(), attempt);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }

    bool ok = writeAll(fd, bytes.data(), bytes.size());
    if (ok && hadFile) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Makes the rename itself durable; the new content is already in place.
    syncFolder(folder);
    return true;
}

bool writeFileAtomic(const std::filesystem::path& file, std::string_view bytes) {
    return writeFileAtomic(file, std::as_bytes(std::span(bytes.data(), bytes.size())));
}

}  // namespace rxt
