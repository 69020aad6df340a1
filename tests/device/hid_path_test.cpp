#include "device/hid_path.h"

#include <gtest/gtest.h>

namespace rxt {
namespace {

TEST(HidPath, ReadsEveryIdentifierOfAWindowsPath) {
    const char* path =
        R"(\\?\hid#vid_0c45&pid_6553&mi_01&col02#8&2c1e4f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})";
    EXPECT_EQ(vendorFromPath(path), 0x0C45);
    EXPECT_EQ(productFromPath(path), 0x6553);
    EXPECT_EQ(interfaceFromPath(path), 1u);
    EXPECT_EQ(collectionFromPath(path), 2u);
}

TEST(HidPath, MarkersInUpperCaseAreFound) {
    const char* path = R"(\\?\HID#VID_320F&PID_2002&MI_0A&COL1F#x)";
    EXPECT_EQ(vendorFromPath(path), 0x320F);
    EXPECT_EQ(productFromPath(path), 0x2002);
    EXPECT_EQ(interfaceFromPath(path), 0x0Au);
    EXPECT_EQ(collectionFromPath(path), 0x1Fu);
}

TEST(HidPath, AbsentMarkersGiveZero) {
    EXPECT_EQ(vendorFromPath("/dev/hidraw3"), 0);
    EXPECT_EQ(productFromPath("/dev/hidraw3"), 0);
    EXPECT_EQ(interfaceFromPath(R"(\\?\hid#vid_0c45&pid_6553#x)"), 0u);
    EXPECT_EQ(collectionFromPath(R"(\\?\hid#vid_0c45&pid_6553&mi_00#x)"), 0u);
    EXPECT_EQ(vendorFromPath(""), 0);
}

TEST(HidPath, MarkerWithoutDigitsGivesZeroAndValuesKeepLow16Bits) {
    EXPECT_EQ(vendorFromPath("vid_&pid_12"), 0);
    EXPECT_EQ(productFromPath("vid_&pid_12"), 0x12);
    EXPECT_EQ(vendorFromPath("vid_123456"), 0x3456);
    // "mi_" alone is not the interface marker.
    EXPECT_EQ(interfaceFromPath("vid_1&mi_02"), 2u);
    EXPECT_EQ(interfaceFromPath("vid_1mi_02"), 0u);
}

TEST(HidPath, NodePathWithCollectionSuffixReadsBack) {
    EXPECT_EQ(collectionFromPath("/dev/hidraw4&col03"), 3u);
    EXPECT_EQ(collectionFromPath("/dev/hidraw4&col10"), 0x10u);
}

}  // namespace
}  // namespace rxt
