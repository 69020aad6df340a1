#pragma once
// Profile data files: a 16-byte little-endian header followed by the
// payload, a raw copy of regions of the device images. There is no length,
// version or checksum; the catalogue that reads a file fixes the payload
// length, and the kind code is written but never checked.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "profile/profile_catalogue.h"

namespace rxt {

struct ProfileFileHeader {
    static constexpr size_t kSize = 16;
    static constexpr uint16_t kMagic = 0x55AA;  // bytes AA 55

    uint16_t magic = kMagic;
    uint16_t kindCode = 0;  // 1 keyboard, 2 mouse, 3 mousepad

    // Magic at 0, zero at 2, kind code at 4, zeros to the end.
    std::array<uint8_t, kSize> encode() const;
    // Reads the fields from the first bytes (missing bytes count as zero).
    static ProfileFileHeader decode(std::span<const uint8_t> bytes);
};

// Results of ReadProfileFile.
inline constexpr int kProfileRead = 0;
inline constexpr int kProfileMissing = 1;     // nothing at the path, or it cannot be opened
inline constexpr int kProfileBadFormat = -1;  // no whole header, or not the magic

// Reads the payload of the file at path into buffer (buffer.size() bytes).
// The file is found without regard to the letter case of its name. A file
// shorter than header + payload fills only what it has: the caller zeroes
// the buffer first. Bytes past the payload are never read. A file that does
// not hold a whole header is a format error.
int ReadProfileFile(const std::filesystem::path& path, std::span<uint8_t> buffer);

// Writes header (magic, kind code) and payload, replacing the file
// atomically: an interrupted or failed write leaves the old file whole. An
// existing file of that name in another letter case is the one replaced.
// False (and "文件打开失败" in the debug log) when it cannot be written.
bool WriteProfileFile(const std::filesystem::path& path, std::span<const uint8_t> payload,
                      uint16_t kindCode);

// The same at exactly this path, whatever files of other letter case lie
// beside it: for a path the user chose in a save dialog.
bool WriteProfileFileAt(const std::filesystem::path& path, std::span<const uint8_t> payload,
                        uint16_t kindCode);

// The folder of the default profile files shipped with the program.
std::filesystem::path defaultProfileFolder();

// The catalogue's default file for that keyboard variant, in folder (empty:
// defaultProfileFolder()).
std::filesystem::path DefaultProfileFile(const ProfileCatalogue& catalogue, int keyboardVariant,
                                         const std::filesystem::path& folder = {});

// The export of the keyboard's default key table: the table as a 512-byte
// payload (code 1) in the keyboard device default file of that variant.
bool WriteKeyboardDefaultDeviceFile(int keyboardVariant, std::span<const uint8_t> keyTable,
                                    const std::filesystem::path& folder = {});

}  // namespace rxt
