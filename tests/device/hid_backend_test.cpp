#include "device/hid_backend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/fake_hid_backend.h"

namespace rxt {
namespace {

// Sets RXT_HID_BUS for one test and puts the old value back.
class BusVariable {
  public:
    explicit BusVariable(const char* value) {
        if (const char* old = std::getenv("RXT_HID_BUS")) {
            old_ = old;
        }
        if (value != nullptr) {
            ::setenv("RXT_HID_BUS", value, 1);
        } else {
            ::unsetenv("RXT_HID_BUS");
        }
    }
    ~BusVariable() {
        if (old_) {
            ::setenv("RXT_HID_BUS", old_->c_str(), 1);
        } else {
            ::unsetenv("RXT_HID_BUS");
        }
    }

  private:
    std::optional<std::string> old_;
};

TEST(HidBackendSelection, SelectorNamesTheBackend) {
    std::string error;
    auto hidraw = makeHidBackend("", &error);
    ASSERT_NE(hidraw, nullptr);
    EXPECT_EQ(hidraw->describe(), "hidraw");

    auto sim = makeHidBackend("sim:/run/bus socket", &error);
    ASSERT_NE(sim, nullptr);
    EXPECT_EQ(sim->describe(), "sim:/run/bus socket");

    for (const char* bad : {"sim:", "hidraw2", "SIM:/x", " sim:/x", "usb"}) {
        error.clear();
        EXPECT_EQ(makeHidBackend(bad, &error), nullptr) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    EXPECT_EQ(makeHidBackend("nonsense"), nullptr);  // no error pointer: no crash
}

TEST(HidBackendSelection, EnvironmentVariable) {
    {
        BusVariable unset(nullptr);
        EXPECT_EQ(hidBackendFromEnvironment()->describe(), "hidraw");
    }
    {
        BusVariable empty("");
        EXPECT_EQ(hidBackendFromEnvironment()->describe(), "hidraw");
    }
    {
        BusVariable sim("sim:/tmp/rxt-bus");
        EXPECT_EQ(hidBackendFromEnvironment()->describe(), "sim:/tmp/rxt-bus");
    }
    {
        BusVariable bad("serial:/dev/ttyS0");
        testing::internal::CaptureStderr();
        auto backend = hidBackendFromEnvironment();
        const std::string message = testing::internal::GetCapturedStderr();
        ASSERT_NE(backend, nullptr);
        EXPECT_EQ(backend->describe(), "hidraw");
        EXPECT_NE(message.find("RXT_HID_BUS"), std::string::npos);
        EXPECT_NE(message.find("serial:/dev/ttyS0"), std::string::npos);
    }
}

TEST(HidBackendSelection, ChosenBackendWinsUntilCleared) {
    auto fake = std::make_shared<test::FakeHidBackend>();
    setDefaultHidBackend(fake);
    EXPECT_EQ(defaultHidBackend(), fake);
    setDefaultHidBackend(nullptr);
    auto fallback = defaultHidBackend();
    ASSERT_NE(fallback, nullptr);
    EXPECT_NE(fallback, fake);
    EXPECT_EQ(defaultHidBackend(), fallback);  // made once
}

}  // namespace
}  // namespace rxt
