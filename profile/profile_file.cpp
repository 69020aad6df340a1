#include "profile/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/file_names.h"
#include "platform/folders.h"
#include "profile/profile_payload.h"

namespace rxt {
namespace {

// Reads up to out.size() bytes; returns the count, or -1 on an I/O error.
ssize_t readFully(int fd, std::span<uint8_t> out) {
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// The existing file for path in any letter case of its name, else path.
std::filesystem::path resolveCase(const std::filesystem::path& path) {
    const std::filesystem::path name = path.filename();
    if (name.empty()) {
        return path;
    }
    std::optional<std::filesystem::path> found =
        findFileIgnoreCase(path.parent_path().empty() ? "." : path.parent_path(), name.string());
    if (!found) {
        return path;
    }
    return path.parent_path().empty() ? found->filename() : *found;
}

}  // namespace

std::array<uint8_t, ProfileFileHeader::kSize> ProfileFileHeader::encode() const {
    std::array<uint8_t, kSize> out{};
    out[0] = static_cast<uint8_t>(magic & 0xFF);
    out[1] = static_cast<uint8_t>(magic >> 8);
    out[4] = static_cast<uint8_t>(kindCode & 0xFF);
    out[5] = static_cast<uint8_t>(kindCode >> 8);
    return out;
}

ProfileFileHeader ProfileFileHeader::decode(std::span<const uint8_t> bytes) {
    auto at = [&bytes](size_t i) -> uint16_t { return i < bytes.size() ? bytes[i] : 0; };
    ProfileFileHeader h;
    h.magic = static_cast<uint16_t>(at(0) | (at(1) << 8));
    h.kindCode = static_cast<uint16_t>(at(4) | (at(5) << 8));
    return h;
}

int ReadProfileFile(const std::filesystem::path& path, std::span<uint8_t> buffer) {
    const std::filesystem::path file = resolveCase(path);
    // Non-blocking, so that a FIFO or device node at the path cannot hang the
    // reader; only regular files are read.
    Fd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        return kProfileMissing;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return kProfileMissing;
    }
    std::array<uint8_t, ProfileFileHeader::kSize> header{};
    const ssize_t got = readFully(fd.get(), header);
    if (got < 0) {
        return kProfileMissing;
    }
    if (static_cast<size_t>(got) < header.size() ||
        ProfileFileHeader::decode(header).magic != ProfileFileHeader::kMagic) {
        return kProfileBadFormat;
    }
    // What the file has of the payload; the rest of the buffer stays as the
    // caller set it. Read into a scratch copy so that an I/O error half way
    // leaves the caller's buffer untouched.
    std::vector<uint8_t> payload(buffer.size());
    const ssize_t n = readFully(fd.get(), payload);
    if (n < 0) {
        return kProfileMissing;
    }
    std::copy_n(payload.begin(), static_cast<size_t>(n), buffer.begin());
    return kProfileRead;
}

bool WriteProfileFile(const std::filesystem::path& path, std::span<const uint8_t> payload,
                      uint16_t kindCode) {
    return WriteProfileFileAt(resolveCase(path), payload, kindCode);
}

bool WriteProfileFileAt(const std::filesystem::path& path, std::span<const uint8_t> payload,
                        uint16_t kindCode) {
    ProfileFileHeader header;
    header.kindCode = kindCode;
    const std::array<uint8_t, ProfileFileHeader::kSize> head = header.encode();
    std::vector<std::byte> bytes(head.size() + payload.size());
    std::transform(head.begin(), head.end(), bytes.begin(),
                   [](uint8_t b) { return static_cast<std::byte>(b); });
    std::transform(payload.begin(), payload.end(), bytes.begin() + head.size(),
                   [](uint8_t b) { return static_cast<std::byte>(b); });
    if (!writeFileAtomic(path, bytes)) {
        debugLog("文件打开失败");
        return false;
    }
    return true;
}

std::filesystem::path defaultProfileFolder() {
    return programFolder() / "defaults";
}

std::filesystem::path DefaultProfileFile(const ProfileCatalogue& catalogue, int keyboardVariant,
                                         const std::filesystem::path& folder) {
    return (folder.empty() ? defaultProfileFolder() : folder) /
           catalogue.defaultFileName(keyboardVariant);
}

bool WriteKeyboardDefaultDeviceFile(int keyboardVariant, std::span<const uint8_t> keyTable,
                                    const std::filesystem::path& folder) {
    const std::optional<ProfileCatalogue> catalogue =
        ProfileCatalogue::find(DeviceKind::Keyboard, ProfileKind::Device);
    std::array<uint8_t, payload::kKeyBankBytes> table{};
    std::copy_n(keyTable.begin(), std::min(keyTable.size(), table.size()), table.begin());
    return WriteProfileFile(DefaultProfileFile(*catalogue, keyboardVariant, folder), table,
                            profileKindCode(DeviceKind::Keyboard));
}

}  // namespace rxt
