// The in-process simulator behind --virtual.

#include "sim/virtual_bus.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace rxt::sim {
namespace {

TEST(VirtualBus, ServesAllThreeDevicesAsTheDefaultBusAndCleansUp) {
    std::string folder;
    std::weak_ptr<HidBackend> used;
    {
        VirtualBus bus;
        ASSERT_TRUE(bus.ok()) << bus.error();
        folder = std::filesystem::path(bus.socketPath()).parent_path();
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << "a private folder";
        EXPECT_TRUE(std::filesystem::exists(bus.controlPath()));

        EXPECT_EQ(defaultHidBackend(), bus.backend());
        std::vector<HidNodeInfo> nodes;
        ASSERT_TRUE(defaultHidBackend()->enumerate(nodes));
        EXPECT_EQ(nodes.size(), 6u);
        for (DeviceKind k : kAllDeviceKinds) {
            EXPECT_TRUE(bus.simulator().isPlugged(k));
        }
        used = bus.backend();
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_NE(defaultHidBackend(), used.lock()) << "the default bus is handed back";
}

TEST(VirtualBus, KeyboardVariantAndEmptyStartAreOptions) {
    VirtualBus bus(VirtualBusOptions{false, 0, false, false});
    ASSERT_TRUE(bus.ok()) << bus.error();
    EXPECT_TRUE(bus.controlPath().empty());
    std::vector<HidNodeInfo> nodes;
    ASSERT_TRUE(bus.backend()->enumerate(nodes));
    EXPECT_TRUE(nodes.empty());

    VirtualBus second(VirtualBusOptions{true, 0x0800, false, false});
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_NE(second.socketPath(), bus.socketPath());
    EXPECT_EQ(second.simulator().product(DeviceKind::Keyboard), 0x0800);
}

}  // namespace
}  // namespace rxt::sim
