#include "app/qt/grab_focus_filter.h"

#include <xcb/xcb.h>
#include <QByteArray>

namespace rxt::ui {

static_assert(GrabFocusFilter::kModeNormal == XCB_NOTIFY_MODE_NORMAL);
static_assert(GrabFocusFilter::kModeGrab == XCB_NOTIFY_MODE_GRAB);
static_assert(GrabFocusFilter::kModeUngrab == XCB_NOTIFY_MODE_UNGRAB);
static_assert(GrabFocusFilter::kModeWhileGrabbed == XCB_NOTIFY_MODE_WHILE_GRABBED);

bool GrabFocusFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != QByteArrayLiteral("xcb_generic_event_t") || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & ~0x80;
    if (type == XCB_FOCUS_OUT) {
        const auto* focus = static_cast<const xcb_focus_out_event_t*>(message);
        // The pointer's focus events say nothing of the keyboard focus.
        if (focus->detail != XCB_NOTIFY_DETAIL_POINTER) {
            onFocusOut(focus->mode);
        }
    } else if (type == XCB_FOCUS_IN) {
        const auto* focus = static_cast<const xcb_focus_in_event_t*>(message);
        if (focus->detail != XCB_NOTIFY_DETAIL_POINTER) {
            onFocusIn(focus->mode);
        }
    }
    return false;  // the toolkit still handles every event
}

}  // namespace rxt::ui
