// A keyboard grab's focus change is not the user leaving the window; a real
// focus loss, during the grab or without one, is.
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <QByteArray>

#include "app/qt/grab_focus_filter.h"

namespace rxt::ui {
namespace {

xcb_focus_out_event_t focusEvent(uint8_t type, uint8_t mode, uint8_t detail) {
    xcb_focus_out_event_t e{};
    e.response_type = type;
    e.mode = mode;
    e.detail = detail;
    e.event = 42;
    return e;
}

struct Filter {
    int losses = 0;
    GrabFocusFilter filter{[this] { ++losses; }};
    void feed(uint8_t type, uint8_t mode, uint8_t detail = XCB_NOTIFY_DETAIL_NONLINEAR) {
        xcb_focus_out_event_t e = focusEvent(type, mode, detail);
        EXPECT_FALSE(
            filter.nativeEventFilter(QByteArrayLiteral("xcb_generic_event_t"), &e, nullptr));
    }
};

TEST(GrabFocusFilter, GrabsFocusChangeIsHeldUntilTheFocusReallyGoes) {
    Filter f;
    f.feed(XCB_FOCUS_OUT, XCB_NOTIFY_MODE_GRAB);
    EXPECT_FALSE(f.filter.passDeactivation());
    // Keys recorded while grabbed; then the user clicks another window.
    f.feed(XCB_FOCUS_OUT, XCB_NOTIFY_MODE_WHILE_GRABBED);
    EXPECT_EQ(f.losses, 1);
    // A second one is not reported again.
    f.feed(XCB_FOCUS_OUT, XCB_NOTIFY_MODE_WHILE_GRABBED);
    EXPECT_EQ(f.losses, 1);
}

TEST(GrabFocusFilter, UngrabAndActivationEndTheHold) {
    Filter f;
    f.feed(XCB_FOCUS_OUT, XCB_NOTIFY_MODE_GRAB);
    EXPECT_FALSE(f.filter.passDeactivation());
    f.feed(XCB_FOCUS_IN, XCB_NOTIFY_MODE_UNGRAB);
    f.filter.activated();
    // Later an ordinary focus loss passes as it always did.
    f.feed(XCB_FOCUS_OUT, XCB_NOTIFY_MODE_NORMAL);
    EXPECT_TRUE(f.filter.passDeactivation());
    EXPECT_EQ(f.losses, 0);
}

TEST(GrabFocusFilter, OrdinaryLossesPassAndPointerEventsAreIgnored) {
    Filter f;
    f.feed(XCB_FOCUS_OUT, XCB_NOTIFY_MODE_NORMAL);
    EXPECT_TRUE(f.filter.passDeactivation());
    // The pointer's focus events say nothing of the keyboard focus.
    f.feed(XCB_FOCUS_OUT, XCB_NOTIFY_MODE_GRAB, XCB_NOTIFY_DETAIL_POINTER);
    EXPECT_TRUE(f.filter.passDeactivation());
    // A focus-in of its own (not the ungrab) forgets an earlier grab.
    f.feed(XCB_FOCUS_OUT, XCB_NOTIFY_MODE_GRAB);
    f.feed(XCB_FOCUS_IN, XCB_NOTIFY_MODE_NORMAL);
    EXPECT_TRUE(f.filter.passDeactivation());
    // Other event types and platforms are let through untouched.
    xcb_generic_event_t key{};
    key.response_type = XCB_KEY_PRESS;
    EXPECT_FALSE(
        f.filter.nativeEventFilter(QByteArrayLiteral("xcb_generic_event_t"), &key, nullptr));
    EXPECT_FALSE(f.filter.nativeEventFilter(QByteArrayLiteral("wayland"), nullptr, nullptr));
    EXPECT_EQ(f.losses, 0);
}

}  // namespace
}  // namespace rxt::ui
