// The X11 pointer backend against an X server of the test's own: speeds
// reach the server's pointer control, 10 gives the server's defaults back,
// and the settings file keeps both values.

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "platform/system_pointer.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#define RXT_TEST_X11 1
#endif

namespace rxt {
namespace {

using test::ScopedEnv;
using test::TempFolder;

#ifdef RXT_TEST_X11

struct Control {
    int numerator = 0;
    int denominator = 0;
    int threshold = 0;
};

class X11PointerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::XvfbDisplay::installed()) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        name_ = xvfb_.start();
        ASSERT_FALSE(name_.empty()) << "Xvfb did not start";
        display_ = XOpenDisplay(name_.c_str());
        ASSERT_NE(display_, nullptr);
        stock_ = control();
        pointer_ = makeX11SystemPointer(file(), name_);
        ASSERT_NE(pointer_, nullptr);
    }
    void TearDown() override {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    Control control() {
        Control c;
        XGetPointerControl(display_, &c.numerator, &c.denominator, &c.threshold);
        return c;
    }
    std::filesystem::path file() const { return dir_ / "pointer.ini"; }

    TempFolder dir_;
    test::XvfbDisplay xvfb_;
    std::string name_;
    Display* display_ = nullptr;
    Control stock_;
    std::unique_ptr<SystemPointer> pointer_;
};

TEST_F(X11PointerTest, SpeedTwentyDoublesTheStockAccelerationAndTenRestoresIt) {
    EXPECT_EQ(pointer_->backendName(), "X11");
    // A stock server reads as the unchanged speed.
    EXPECT_EQ(pointer_->pointerSpeed(), 10);

    ASSERT_TRUE(pointer_->setPointerSpeed(20));
    const Control fast = control();
    ASSERT_GT(fast.denominator, 0);
    EXPECT_DOUBLE_EQ(double(fast.numerator) / fast.denominator,
                     2.0 * stock_.numerator / stock_.denominator);
    EXPECT_EQ(fast.threshold, stock_.threshold);
    EXPECT_EQ(pointer_->pointerSpeed(), 20);

    ASSERT_TRUE(pointer_->setPointerSpeed(1));
    EXPECT_EQ(pointer_->pointerSpeed(), 1);

    ASSERT_TRUE(pointer_->setPointerSpeed(10));
    const Control back = control();
    EXPECT_EQ(back.numerator, stock_.numerator);
    EXPECT_EQ(back.denominator, stock_.denominator);
    EXPECT_EQ(back.threshold, stock_.threshold);
    EXPECT_EQ(iniReadInt(file(), "POINTER", "MOUSESPEED", 0), 10);
}

TEST_F(X11PointerTest, WheelLinesAndRefusedValuesStayInTheFile) {
    EXPECT_FALSE(pointer_->appliesWheelLines());
    ASSERT_TRUE(pointer_->setWheelScrollLines(7));
    EXPECT_EQ(pointer_->wheelScrollLines(), 7);
    EXPECT_EQ(iniReadInt(file(), "POINTER", "WHEELSCROLLLINES", 0), 7);
    const Control before = control();
    EXPECT_FALSE(pointer_->setPointerSpeed(0));
    EXPECT_FALSE(pointer_->setPointerSpeed(21));
    EXPECT_EQ(control().numerator, before.numerator);
}

TEST(X11Pointer, NoServerGivesNoBackend) {
    EXPECT_EQ(makeX11SystemPointer("/nonexistent/pointer.ini", ":4095"), nullptr);
}

#endif

}  // namespace
}  // namespace rxt
