#include "platform/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace rxt {
namespace {

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

}  // namespace

FileBytes readFileBytes(const std::filesystem::path& file, size_t maxBytes) {
    FileBytes result;
    // Non-blocking so that a FIFO at the path cannot hang the reader.
    Fd f{::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (f.fd < 0) {
        result.status =
            (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Unreadable;
        return result;
    }
    struct stat st {};
    if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<unsigned long long>(st.st_size) > maxBytes) {
        result.status = ReadStatus::Unreadable;
        return result;
    }
    // The size is a hint: the file may change while it is read.
    std::string& bytes = result.bytes;
    bytes.resize(static_cast<size_t>(st.st_size) + 1);
    size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (bytes.size() > maxBytes) {
                result.status = ReadStatus::Unreadable;
                bytes.clear();
                return result;
            }
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t n = ::read(f.fd, bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.status = ReadStatus::Unreadable;
            bytes.clear();
            return result;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<size_t>(n);
    }
    bytes.resize(used);
    result.status = ReadStatus::Ok;
    return result;
}

}  // namespace rxt
