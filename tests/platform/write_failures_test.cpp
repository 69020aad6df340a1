// Files that cannot be written: what the atomic write reports for each kind
// of broken folder, that the old file stays whole, and that a watched folder
// is reported once a spell.

#include "platform/write_failures.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "support/test_folder.h"
#include "support/unwritable_folder.h"

namespace rxt {
namespace {

using test::readRaw;
using test::TempFolder;
using test::writeRaw;

// The failures a watch on the folder hears.
class Heard {
  public:
    explicit Heard(const std::filesystem::path& folder) {
        watchWriteFailures(folder, [this](const WriteFailure& f) { failures.push_back(f); });
    }
    ~Heard() { watchWriteFailures({}, {}); }
    std::vector<WriteFailure> failures;
};

size_t entriesIn(const std::filesystem::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

TEST(WriteFailures, AFileWhereAFolderBelongsFailsWithItsReason) {
    TempFolder dir;
    Heard heard(dir.path());
    writeRaw(dir / "ms", "not a folder");
    errno = 0;
    EXPECT_FALSE(writeFileAtomic(dir / "ms/msProfile.ini", std::string_view("[A]\n")));
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_FALSE(iniWrite(dir / "ms/msProfile.ini", "PROFILECOUNT", "count", "1"));
    EXPECT_EQ(readRaw(dir / "ms"), "not a folder");
    ASSERT_EQ(heard.failures.size(), 1u);  // once, not per write
    EXPECT_EQ(heard.failures[0].file, dir / "ms/msProfile.ini");
    EXPECT_EQ(heard.failures[0].error, ENOTDIR);
    EXPECT_EQ(describeWriteFailure(heard.failures[0]),
              (dir / "ms").string() + ": " + std::strerror(ENOTDIR));
}

TEST(WriteFailures, AReadOnlyFolderFailsAndKeepsTheOldFile) {
    TempFolder dir;
    const auto folder = dir / "kb";
    std::filesystem::create_directories(folder);
    writeRaw(folder / "kbProfile.ini", "[PROFILECOUNT]\ncount=2\n");
    test::ReadOnlyFolder readOnly(folder);
    if (!readOnly.ok()) {
        GTEST_SKIP() << "this user writes into read-only folders";
    }
    Heard heard(dir.path());
    errno = 0;
    EXPECT_FALSE(iniWrite(folder / "kbProfile.ini", "PROFILECOUNT", "count", "3"));
    EXPECT_TRUE(errno == EACCES || errno == EPERM) << errno;
    readOnly.restore();
    EXPECT_EQ(readRaw(folder / "kbProfile.ini"), "[PROFILECOUNT]\ncount=2\n");
    EXPECT_EQ(entriesIn(folder), 1u);
    ASSERT_EQ(heard.failures.size(), 1u);
    EXPECT_TRUE(heard.failures[0].error == EACCES || heard.failures[0].error == EPERM);
}

TEST(WriteFailures, AFullDiskFailsAndKeepsTheOldFileWhole) {
    TempFolder dir;
    const std::string old(3000, 'o');
    const int result = test::runOnFullDisk(
        dir.path(),
        [&](const std::filesystem::path& disk) { writeRaw(disk / "profile1.config", old); },
        [&](const std::filesystem::path& disk) {
            std::vector<WriteFailure> heard;
            watchWriteFailures(disk, [&](const WriteFailure& f) { heard.push_back(f); });
            errno = 0;
            const bool written = writeFileAtomic(disk / "profile1.config", std::string(20000, 'n'));
            const int error = errno;
            // Old bytes whole, no temporary file left, the reason heard once.
            return !written && error == ENOSPC && readRaw(disk / "profile1.config") == old &&
                   entriesIn(disk) == 2 && heard.size() == 1 && heard[0].error == ENOSPC;
        });
    if (result == test::kNoFullDisk) {
        GTEST_SKIP() << "no mount namespace for a full tmpfs here";
    }
    EXPECT_EQ(result, 0);
}

TEST(WriteFailures, TheSpellEndsWhenTheFailedFolderIsWrittenAgain) {
    TempFolder dir;
    Heard heard(dir.path());
    std::filesystem::create_directories(dir / "mp");
    // Writes elsewhere, failed or not, are not the watch's business.
    noteWriteResult("/elsewhere/x.ini", ENOSPC);
    noteWriteResult(dir / "mp/a.led", 0);
    EXPECT_TRUE(heard.failures.empty());

    noteWriteResult(dir / "ms/a.config", EROFS);
    noteWriteResult(dir / "ms/b.config", EROFS);
    noteWriteResult(dir / "kb/c.pro", ENOSPC);
    // A write that works in another folder does not end it.
    noteWriteResult(dir / "mp/a.led", 0);
    noteWriteResult(dir / "ms/a.config", EROFS);
    EXPECT_EQ(heard.failures.size(), 1u);
    // The folder that failed works again: the next failure is a new spell.
    noteWriteResult(dir / "ms/a.config", 0);
    noteWriteResult(dir / "main.ini", ENOSPC);
    ASSERT_EQ(heard.failures.size(), 2u);
    EXPECT_EQ(heard.failures[1].file, dir / "main.ini");
    EXPECT_EQ(heard.failures[1].error, ENOSPC);
}

TEST(WriteFailures, AWriteThatWorksReportsNothing) {
    TempFolder dir;
    Heard heard(dir.path());
    EXPECT_TRUE(writeFileAtomic(dir / "main.ini", std::string_view("[SKINIMAGE]\n")));
    EXPECT_TRUE(heard.failures.empty());
}

}  // namespace
}  // namespace rxt
