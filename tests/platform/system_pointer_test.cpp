#include "platform/system_pointer.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/ini_file.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

using test::readRaw;
using test::ScopedEnv;
using test::TempFolder;
using test::writeRaw;

TEST(FileSystemPointer, MissingFileReadsTheDefaults) {
    TempFolder dir;
    auto pointer = makeFileSystemPointer(dir / "pointer.ini");
    EXPECT_EQ(pointer->pointerSpeed(), 10);
    EXPECT_EQ(pointer->wheelScrollLines(), 3);
}

TEST(FileSystemPointer, RoundTripKeepsBothValuesInTheFile) {
    TempFolder dir;
    const auto file = dir / "sub" / "pointer.ini";
    auto pointer = makeFileSystemPointer(file);
    ASSERT_TRUE(pointer->setPointerSpeed(14));
    // The folder is created and the file holds both values from the start.
    EXPECT_EQ(readRaw(file), "[POINTER]\nMOUSESPEED=14\nWHEELSCROLLLINES=3\n");
    ASSERT_TRUE(pointer->setWheelScrollLines(7));
    EXPECT_EQ(pointer->pointerSpeed(), 14);
    EXPECT_EQ(pointer->wheelScrollLines(), 7);
    // Persistent: a new instance reads what the old one stored.
    auto again = makeFileSystemPointer(file);
    EXPECT_EQ(again->pointerSpeed(), 14);
    EXPECT_EQ(again->wheelScrollLines(), 7);
}

TEST(FileSystemPointer, RangeEndsAreAcceptedAndValuesOutsideRefused) {
    TempFolder dir;
    auto pointer = makeFileSystemPointer(dir / "pointer.ini");
    EXPECT_TRUE(pointer->setPointerSpeed(1));
    EXPECT_TRUE(pointer->setPointerSpeed(20));
    EXPECT_TRUE(pointer->setWheelScrollLines(1));
    EXPECT_TRUE(pointer->setWheelScrollLines(100));
    EXPECT_FALSE(pointer->setPointerSpeed(0));
    EXPECT_FALSE(pointer->setPointerSpeed(21));
    EXPECT_FALSE(pointer->setPointerSpeed(-3));
    EXPECT_FALSE(pointer->setWheelScrollLines(0));
    EXPECT_FALSE(pointer->setWheelScrollLines(101));
    EXPECT_EQ(pointer->pointerSpeed(), 20);
    EXPECT_EQ(pointer->wheelScrollLines(), 100);
}

TEST(FileSystemPointer, HandEditedFileIsReadSafely) {
    TempFolder dir;
    const auto file = dir / "pointer.ini";
    auto pointer = makeFileSystemPointer(file);
    writeRaw(file, "[pointer]\nmousespeed=250\nwheelscrolllines=0\n");
    EXPECT_EQ(pointer->pointerSpeed(), 20);
    EXPECT_EQ(pointer->wheelScrollLines(), 1);
    writeRaw(file, "[POINTER]\nMOUSESPEED=fast\nWHEELSCROLLLINES=\n");
    EXPECT_EQ(pointer->pointerSpeed(), 10);
    EXPECT_EQ(pointer->wheelScrollLines(), 3);
    writeRaw(file, "; mine\n[POINTER]\nMOUSESPEED=5\n");
    ASSERT_TRUE(pointer->setWheelScrollLines(9));
    EXPECT_EQ(readRaw(file), "; mine\n[POINTER]\nMOUSESPEED=5\nWHEELSCROLLLINES=9\n");
}

TEST(FileSystemPointer, UnwritableLocationReportsFailure) {
    TempFolder dir;
    writeRaw(dir / "afile", "x");
    auto pointer = makeFileSystemPointer(dir / "afile" / "pointer.ini");
    EXPECT_FALSE(pointer->setPointerSpeed(5));
    EXPECT_EQ(pointer->pointerSpeed(), 10);
}

TEST(FileSystemPointer, ConcurrentSettersKeepEachOthersValue) {
    // The short-lived apply threads may run at the same time.
    TempFolder dir;
    const auto file = dir / "pointer.ini";
    std::thread speed([&] {
        auto p = makeFileSystemPointer(file);
        for (int i = 1; i <= 20; ++i) {
            p->setPointerSpeed(i);
        }
    });
    std::thread wheel([&] {
        auto p = makeFileSystemPointer(file);
        for (int i = 1; i <= 20; ++i) {
            p->setWheelScrollLines(i * 5);
        }
    });
    speed.join();
    wheel.join();
    auto p = makeFileSystemPointer(file);
    EXPECT_EQ(p->pointerSpeed(), 20);
    EXPECT_EQ(p->wheelScrollLines(), 100);
}

TEST(FileSystemPointer, DefaultFileIsInTheConfigFolder) {
    TempFolder dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.path().string());
    EXPECT_EQ(defaultPointerSettingsFile(), dir / "rx-t7100" / "pointer.ini");
    auto pointer = makeSystemPointer();
    ASSERT_TRUE(pointer->setWheelScrollLines(6));
    EXPECT_EQ(iniReadInt(dir / "rx-t7100" / "pointer.ini", "POINTER", "WHEELSCROLLLINES", 0), 6);
}

}  // namespace
}  // namespace rxt
