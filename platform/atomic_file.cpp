#include "platform/atomic_file.h"

#include "platform/write_failures.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>

namespace rxt {
namespace {

// ".name.tmp-": what every temporary file of this target starts with.
std::string temporaryPrefix(const std::string& fileName) {
    // Keep room for the suffix within the file-name length limit.
    std::string name(1, '.');
    name.append(fileName, 0, 120);
    name += ".tmp-";
    return name;
}

// A name no other writer (thread or process) picks at the same time.
std::string temporaryName(const std::string& fileName, unsigned attempt) {
    static std::atomic<unsigned long> counter{0};
    const auto ticks =
        static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::string name = temporaryPrefix(fileName);
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

// "-<number>-<attempt>" and nothing more: the end of a name temporaryName
// made, so that a user's file that only starts alike is never taken for one.
bool temporarySuffix(const char* rest) {
    for (int part = 0; part < 2; ++part) {
        if (*rest != '-' || !std::isdigit(static_cast<unsigned char>(rest[1]))) {
            return false;
        }
        ++rest;
        while (std::isdigit(static_cast<unsigned char>(*rest))) {
            ++rest;
        }
    }
    return *rest == '\0';
}

// A writer killed between creating and renaming its temporary file leaves it
// behind; remove those of this target whose process is gone.
void removeStaleTemporaries(const std::filesystem::path& folder, const std::string& fileName) {
    const std::string prefix = temporaryPrefix(fileName);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const char* digits = name.c_str() + prefix.size();
        char* stop = nullptr;
        const long pid = std::strtol(digits, &stop, 10);
        if (stop == digits || *stop != '-' || pid <= 0 || !temporarySuffix(stop)) {
            continue;
        }
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

namespace {

// The write itself; 0, or the errno of the step that failed.
int replaceFile(const std::filesystem::path& file, std::span<const std::byte> bytes) {
    std::filesystem::path target = file;
    std::error_code ec;
    if (std::filesystem::is_symlink(file, ec)) {
        target = std::filesystem::weakly_canonical(file, ec);
        if (ec) {
            return ec.value() != 0 ? ec.value() : ENOENT;
        }
    }
    if (!target.has_filename()) {
        return EISDIR;
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");

    struct stat old {};
    const bool hadFile = ::stat(target.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode)) {
        return S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
    }

    std::filesystem::path temp;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = folder / temporaryName(target.filename().string(), attempt);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return errno;
        }
    }
    if (fd < 0) {
        return EEXIST;
    }

    int error = 0;
    auto step = [&error](bool ok) {
        if (!ok && error == 0) {
            error = errno != 0 ? errno : EIO;
        }
    };
    step(writeAll(fd, bytes.data(), bytes.size()));
    if (error == 0 && hadFile) {
        step(::fchmod(fd, old.st_mode & 07777) == 0);
    }
    if (error == 0) {
        step(::fsync(fd) == 0);
    }
    step(::close(fd) == 0);
    if (error == 0) {
        step(::rename(temp.c_str(), target.c_str()) == 0);
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        return error;
    }
    removeStaleTemporaries(folder, target.filename().string());
    // Makes the rename itself durable; the new content is already in place.
    syncFolder(folder);
    return 0;
}

}  // namespace

bool writeFileAtomic(const std::filesystem::path& file, std::span<const std::byte> bytes) {
    const int error = replaceFile(file, bytes);
    noteWriteResult(file, error);
    errno = error;
    return error == 0;
}

bool writeFileAtomic(const std::filesystem::path& file, std::string_view bytes) {
    return writeFileAtomic(file, std::as_bytes(std::span(bytes.data(), bytes.size())));
}

}  // namespace rxt
