#pragma once
// Folders that cannot be written, for the tests of what the program does
// then: read-only (mode 0555, and for root, who writes there anyway, the
// file system's immutable flag) and full (a tiny tmpfs in a mount namespace
// of a child process, where that is allowed).

#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

namespace rxt::test {

class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
        ::chmod(folder_.c_str(), 0555);
        if (!writable()) {
            ok_ = true;
            return;
        }
        setImmutable(true);
        ok_ = !writable();
    }
    ~ReadOnlyFolder() { restore(); }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // False: this user writes there regardless (the test skips).
    bool ok() const { return ok_; }
    void restore() {
        if (immutable_) {
            setImmutable(false);
        }
        ::chmod(folder_.c_str(), 0755);
    }

  private:
    bool writable() const {
        const auto probe = folder_ / ".probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) {
            return false;
        }
        ::close(fd);
        ::unlink(probe.c_str());
        return true;
    }
    void setImmutable(bool on) {
        const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) {
            return;
        }
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) {
                immutable_ = on;
            }
        }
        ::close(fd);
    }

    std::filesystem::path folder_;
    bool ok_ = false;
    bool immutable_ = false;
};

// Runs `body` in a child process with a full tmpfs mounted on `folder` (a
// few kilobytes, filled up after `prepare` ran in it). The child's exit code:
// the body's result as 0 (true) or 1, or kNoFullDisk where this process may
// not mount (no root, no mount namespace).
inline constexpr int kNoFullDisk = 77;
inline int runOnFullDisk(const std::filesystem::path& folder,
                         const std::function<void(const std::filesystem::path&)>& prepare,
                         const std::function<bool(const std::filesystem::path&)>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0) {
            ::_exit(kNoFullDisk);
        }
        prepare(folder);
        // Fill what is left, a block at a time.
        const auto filler = folder / "filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        char block[512] = {};
        while (fd >= 0 && ::write(fd, block, sizeof block) > 0) {
        }
        while (fd >= 0 && ::write(fd, block, 1) > 0) {
        }
        ::close(fd);
        ::_exit(body(folder) ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return 1;
    }
    return WEXITSTATUS(status);
}

}  // namespace rxt::test
