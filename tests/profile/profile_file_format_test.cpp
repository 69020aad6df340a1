// The profile data file format: header, reader results and the short-file
// and bad-magic cases, atomic writes, letter case of file names, and a
// round trip through a reader written from the byte layout alone.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "profile/profile_file.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

using test::readRaw;
using test::TempFolder;
using test::writeRaw;

std::string header(uint16_t magic = 0x55AA, uint16_t code = 2) {
    std::string h(16, '\0');
    h[0] = static_cast<char>(magic & 0xFF);
    h[1] = static_cast<char>(magic >> 8);
    h[4] = static_cast<char>(code & 0xFF);
    h[5] = static_cast<char>(code >> 8);
    return h;
}

std::string ramp(size_t n, int start = 1) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        s[i] = static_cast<char>((start + static_cast<int>(i)) & 0xFF);
    }
    return s;
}

// A reader of the file format written from its byte layout alone: 16-byte
// header (magic AA 55, 2 reserved zero bytes, kind code little-endian, ten
// zero bytes), then the payload.
struct LayoutReading {
    bool magicOk = false;
    bool reservedZero = false;
    unsigned kindCode = 0;
    std::string payload;
};
LayoutReading readByLayout(const std::string& file) {
    LayoutReading r;
    if (file.size() < 16) {
        return r;
    }
    const auto b = [&file](size_t i) { return static_cast<unsigned char>(file[i]); };
    r.magicOk = b(0) == 0xAA && b(1) == 0x55;
    r.kindCode = b(4) | (b(5) << 8);
    r.reservedZero = b(2) == 0 && b(3) == 0;
    for (size_t i = 6; i < 16; ++i) {
        r.reservedZero = r.reservedZero && b(i) == 0;
    }
    r.payload = file.substr(16);
    return r;
}

class ProfileFileTest : public ::testing::Test {
  protected:
    std::filesystem::path file(const std::string& name) const { return dir.path() / name; }
    int read(const std::filesystem::path& path, std::vector<uint8_t>& buffer) {
        return ReadProfileFile(path, buffer);
    }

    TempFolder dir;
};

TEST_F(ProfileFileTest, HeaderEncodesMagicAndKindCodeLittleEndianWithZeroReservedBytes) {
    ProfileFileHeader h;
    h.kindCode = 0x0103;
    const auto bytes = h.encode();
    const std::array<uint8_t, 16> expected{0xAA, 0x55, 0, 0, 0x03, 0x01, 0, 0,
                                           0,    0,    0, 0, 0,    0,    0, 0};
    EXPECT_EQ(bytes, expected);
    const ProfileFileHeader back = ProfileFileHeader::decode(bytes);
    EXPECT_EQ(back.magic, 0x55AA);
    EXPECT_EQ(back.kindCode, 0x0103);
}

TEST_F(ProfileFileTest, ReadResults) {
    std::vector<uint8_t> buffer(64, 0);
    EXPECT_EQ(read(file("absent.led"), buffer), kProfileMissing);
    std::filesystem::create_directory(file("folder.led"));
    EXPECT_EQ(read(file("folder.led"), buffer), kProfileMissing);

    writeRaw(file("good.led"), header() + ramp(64));
    EXPECT_EQ(read(file("good.led"), buffer), kProfileRead);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[63], 64);

    // Magic stored big-endian: bytes 55 AA.
    writeRaw(file("swapped.led"), header(0xAA55) + ramp(64));
    EXPECT_EQ(read(file("swapped.led"), buffer), kProfileBadFormat);
    writeRaw(file("text.led"), "[PROFILE]\ncount=1\n");
    EXPECT_EQ(read(file("text.led"), buffer), kProfileBadFormat);
    writeRaw(file("empty.led"), "");
    EXPECT_EQ(read(file("empty.led"), buffer), kProfileBadFormat);
    // The magic alone is not a header.
    writeRaw(file("stub.led"), std::string("\xAA\x55\0\0\x02", 5));
    EXPECT_EQ(read(file("stub.led"), buffer), kProfileBadFormat);
}

TEST_F(ProfileFileTest, FormatErrorsAndMissingFilesLeaveTheBufferAlone) {
    std::vector<uint8_t> buffer(64, 0x5A);
    writeRaw(file("swapped.led"), header(0xAA55) + ramp(64));
    ASSERT_EQ(read(file("swapped.led"), buffer), kProfileBadFormat);
    ASSERT_EQ(read(file("absent.led"), buffer), kProfileMissing);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0x5A; }));
}

TEST_F(ProfileFileTest, ShortFilesFillOnlyWhatTheyHold) {
    // A header alone loads as an all-zero payload.
    writeRaw(file("header.config"), header());
    std::vector<uint8_t> buffer(576, 0);
    EXPECT_EQ(read(file("header.config"), buffer), kProfileRead);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0; }));

    // A 512-byte payload read as 2470 bytes: the rest stays as the caller set it.
    writeRaw(file("table.config"), header(0x55AA, 1) + ramp(512));
    std::vector<uint8_t> big(2470, 0);
    EXPECT_EQ(read(file("table.config"), big), kProfileRead);
    EXPECT_EQ(big[0], 1);
    EXPECT_EQ(big[511], static_cast<uint8_t>(512));
    EXPECT_TRUE(std::all_of(big.begin() + 512, big.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(ProfileFileTest, BytesPastThePayloadAreIgnored) {
    writeRaw(file("long.pro"), header() + ramp(64) + std::string(4096, '\x77'));
    std::vector<uint8_t> buffer(64, 0);
    EXPECT_EQ(read(file("long.pro"), buffer), kProfileRead);
    EXPECT_EQ(buffer[63], 64);
    // The kind code is not checked: a mousepad file reads in a mouse catalogue.
    writeRaw(file("pad.led"), header(0x55AA, 3) + ramp(64));
    EXPECT_EQ(read(file("pad.led"), buffer), kProfileRead);
}

TEST_F(ProfileFileTest, NamesAreFoundWithoutRegardToLetterCase) {
    writeRaw(file("Gaming.LED"), header() + ramp(64, 9));
    std::vector<uint8_t> buffer(64, 0);
    EXPECT_EQ(read(file("gaming.led"), buffer), kProfileRead);
    EXPECT_EQ(buffer[0], 9);

    // Writing under another case replaces that file instead of adding a second one.
    const std::vector<uint8_t> payload(64, 0x33);
    ASSERT_TRUE(WriteProfileFile(file("GAMING.led"), payload, 2));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(readRaw(file("Gaming.LED")).substr(16), std::string(64, '\x33'));
}

TEST_F(ProfileFileTest, AFifoAtThePathIsNotWaitedOn) {
    ASSERT_EQ(::mkfifo(file("pipe.led").c_str(), 0600), 0);
    std::vector<uint8_t> buffer(64, 0);
    EXPECT_EQ(read(file("pipe.led"), buffer), kProfileMissing);
}

TEST_F(ProfileFileTest, WrittenFilesReadBackByTheLayoutAlone) {
    for (uint16_t code : {1, 2, 3}) {
        const std::string payload = ramp(2470, code * 7);
        const std::vector<uint8_t> bytes(payload.begin(), payload.end());
        const auto path = file("p" + std::to_string(code) + ".config");
        ASSERT_TRUE(WriteProfileFile(path, bytes, code));

        const LayoutReading r = readByLayout(readRaw(path));
        EXPECT_TRUE(r.magicOk);
        EXPECT_TRUE(r.reservedZero);
        EXPECT_EQ(r.kindCode, code);
        EXPECT_EQ(r.payload, payload);
    }
}

TEST_F(ProfileFileTest, AFailedWriteKeepsTheOldFileAndSaysSo) {
    writeRaw(file("keep.config"), header() + ramp(576));
    const std::string before = readRaw(file("keep.config"));
    const auto logFile = file("log.txt");

    // In a child whose files may not grow past 1000 bytes, as on a full disk.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(log, STDERR_FILENO);
        rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        setDebugLogEnabled(true);
        const bool ok = WriteProfileFile(file("keep.config"), std::vector<uint8_t>(2470, 0xEE), 1);
        ::_exit(ok ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write reported success";
    EXPECT_NE(readRaw(logFile).find("文件打开失败"), std::string::npos);
    EXPECT_EQ(readRaw(file("keep.config")), before);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST_F(ProfileFileTest, WritesIntoAMissingFolderFail) {
    EXPECT_FALSE(WriteProfileFile(file("no/such/folder.led"), std::vector<uint8_t>(64, 1), 2));
}

}  // namespace
}  // namespace rxt
