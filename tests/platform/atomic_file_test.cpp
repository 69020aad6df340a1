#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_bytes.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

using test::readRaw;
using test::TempFolder;
using test::writeRaw;

size_t entriesIn(const std::filesystem::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

TEST(AtomicFile, CreatesAndReplacesWithExactBytes) {
    TempFolder dir;
    const auto file = dir / "profile1.config";
    const std::string binary("\x00\x01\xFF\n\r\x00zz", 8);
    ASSERT_TRUE(writeFileAtomic(file, binary));
    EXPECT_EQ(readRaw(file), binary);
    ASSERT_TRUE(writeFileAtomic(file, std::string_view("second")));
    EXPECT_EQ(readRaw(file), "second");
    ASSERT_TRUE(writeFileAtomic(file, std::string_view()));
    EXPECT_EQ(readRaw(file), "");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFile, RemovesWhatAKilledWriterLeftBehind) {
    TempFolder dir;
    const auto file = dir / "msProfile.ini";
    // A child that exits at once gives a process id nobody uses any more.
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = ".msProfile.ini.tmp-" + std::to_string(gone) + "-7-0";
    const std::string alive = ".msProfile.ini.tmp-" + std::to_string(::getpid()) + "-7-0";
    const std::string other = ".kbProfile.ini.tmp-" + std::to_string(gone) + "-7-0";
    // A user's file that only starts like a temporary one (a profile named so).
    const std::string lookalike = dead + ".led";
    writeRaw(dir / lookalike, "a profile");
    writeRaw(dir / dead, "half");
    writeRaw(dir / alive, "in progress");
    writeRaw(dir / other, "half");

    ASSERT_TRUE(writeFileAtomic(file, std::string_view("[PROFILECOUNT]\ncount=1\n")));
    EXPECT_FALSE(std::filesystem::exists(dir / dead));
    EXPECT_TRUE(std::filesystem::exists(dir / alive));  // its writer may still rename it
    EXPECT_TRUE(std::filesystem::exists(dir / other));  // another file's business
    EXPECT_EQ(readRaw(dir / lookalike), "a profile");
}

TEST(AtomicFile, KeepsPermissionsOfTheReplacedFile) {
    TempFolder dir;
    const auto file = dir / "kept.ini";
    writeRaw(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomic(file, std::string_view("new")));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFile, FollowsASymbolicLinkAndKeepsIt) {
    TempFolder dir;
    const auto real = dir / "real.ini";
    const auto link = dir / "link.ini";
    writeRaw(real, "old");
    std::filesystem::create_symlink("real.ini", link);
    ASSERT_TRUE(writeFileAtomic(link, std::string_view("new")));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readRaw(real), "new");
}

TEST(AtomicFile, FailsWhereNoFileCanBe) {
    TempFolder dir;
    const auto plain = dir / "plain";
    writeRaw(plain, "data");
    // A folder on the way that is a file.
    EXPECT_FALSE(writeFileAtomic(plain / "inner.ini", std::string_view("x")));
    EXPECT_EQ(readRaw(plain), "data");
    // A missing folder.
    EXPECT_FALSE(writeFileAtomic(dir / "missing" / "a.ini", std::string_view("x")));
    // A folder at the path itself is not replaced.
    std::filesystem::create_directory(dir / "sub");
    writeRaw(dir / "sub" / "inside", "keep");
    EXPECT_FALSE(writeFileAtomic(dir / "sub", std::string_view("x")));
    EXPECT_EQ(readRaw(dir / "sub" / "inside"), "keep");
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

TEST(FileBytes, TellsMissingFromUnreadable) {
    TempFolder dir;
    EXPECT_EQ(readFileBytes(dir / "none").status, ReadStatus::Missing);
    EXPECT_EQ(readFileBytes(dir / "none" / "deeper").status, ReadStatus::Missing);
    EXPECT_EQ(readFileBytes(dir.path()).status, ReadStatus::Unreadable);
    writeRaw(dir / "big", std::string(100, 'x'));
    EXPECT_EQ(readFileBytes(dir / "big", 99).status, ReadStatus::Unreadable);
    const FileBytes ok = readFileBytes(dir / "big", 100);
    EXPECT_EQ(ok.status, ReadStatus::Ok);
    EXPECT_EQ(ok.bytes.size(), 100u);
}

TEST(FileBytes, AFifoDoesNotBlockTheReader) {
    TempFolder dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readFileBytes(fifo).status, ReadStatus::Unreadable);
}

}  // namespace
}  // namespace rxt
