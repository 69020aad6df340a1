// Profile data files fed arbitrary bytes: the header decode and the reader
// with the payload size of every catalogue (short, long and bad files).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "profile/profile_catalogue.h"
#include "profile/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("rxt-fuzz-profile-" + std::to_string(::getpid()) + ".config");
    (void)rxt::ProfileFileHeader::decode(std::span(data, size));
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (const size_t payload : {size_t{21}, size_t{64}, size_t{576}, size_t{1152}}) {
        std::vector<uint8_t> buffer(payload, 0);
        const int result = rxt::ReadProfileFile(file, buffer);
        if (result != rxt::kProfileRead && result != rxt::kProfileBadFormat &&
            result != rxt::kProfileMissing) {
            __builtin_trap();
        }
    }
    return 0;
}
