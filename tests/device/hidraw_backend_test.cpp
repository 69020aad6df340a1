#include "device/hidraw/hidraw_backend.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "device/hidraw/sysfs_fields.h"

namespace rxt {
namespace {

TEST(SysfsFields, HidIdGivesBusVendorProduct) {
    const auto id = parseHidId("0003:0000320F:00002002\n");
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(id->bus, 3u);
    EXPECT_EQ(id->vendor, 0x320F);
    EXPECT_EQ(id->product, 0x2002);

    const auto lower = parseHidId("0005:00000c45:00006553");
    ASSERT_TRUE(lower.has_value());
    EXPECT_EQ(lower->bus, 5u);
    EXPECT_EQ(lower->vendor, 0x0C45);
    EXPECT_EQ(lower->product, 0x6553);
}

TEST(SysfsFields, MalformedHidIdIsRefused) {
    for (const char* bad : {"", "0003", "0003:0000320F", "0003:0000320F:", ":0000320F:00002002",
                            "0003:0001320F:00002002",  // vendor beyond 16 bits
                            "0003:0000320F:00012002", "0003:0000320G:00002002",
                            "0003:000000000320F:00002002", "0003:0000320F:00002002:1"}) {
        EXPECT_FALSE(parseHidId(bad).has_value()) << bad;
    }
}

TEST(SysfsFields, HexAttributes) {
    EXPECT_EQ(parseHexAttribute("01\n"), 1u);
    EXPECT_EQ(parseHexAttribute("0a"), 10u);
    EXPECT_EQ(parseHexAttribute(" 0100 \n"), 0x100u);
    EXPECT_FALSE(parseHexAttribute("").has_value());
    EXPECT_FALSE(parseHexAttribute("\n").has_value());
    EXPECT_FALSE(parseHexAttribute("1 2").has_value());
    EXPECT_FALSE(parseHexAttribute("0x10").has_value());
    EXPECT_FALSE(parseHexAttribute("123456789").has_value());
}

// Whatever hidraw nodes this machine has (often none), enumeration works and
// every node it lists has a device path.
TEST(HidrawBackend, EnumeratesWithoutDevices) {
    HidrawBackend backend;
    std::vector<HidNodeInfo> nodes;
    ASSERT_TRUE(backend.enumerate(nodes));
    for (const HidNodeInfo& node : nodes) {
        EXPECT_EQ(node.path.rfind("/dev/", 0), 0u) << node.path;
    }
    EXPECT_EQ(backend.describe(), "hidraw");
}

TEST(HidrawBackend, MissingNodeFailsWithErrno) {
    HidrawBackend backend;
    errno = 0;
    EXPECT_EQ(backend.openNode("/dev/hidraw-does-not-exist", true, true, false), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(backend.present("/dev/hidraw-does-not-exist"));
    // A regular file is no device node.
    EXPECT_FALSE(backend.present("/proc/self/status"));
}

TEST(HidrawBackend, DescriptorRequestOnANonHidrawFdFails) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    std::vector<uint8_t> descriptor;
    EXPECT_FALSE(readDescriptorFromNode(pipeFds[0], descriptor));
    EXPECT_TRUE(descriptor.empty());
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

TEST(HidrawBackend, WatchIsADescriptorOrNone) {
    HidrawBackend backend;
    const int watch = backend.openWatch();
    if (watch >= 0) {
        backend.drainWatch(watch);  // nothing pending: returns at once
        ::close(watch);
    }
}

}  // namespace
}  // namespace rxt
