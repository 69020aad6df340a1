#pragma once
// Tells a focus loss caused by a keyboard grab from a real one. The input
// hook grabs the keyboard while it records or captures a key; the X server
// then takes the focus from our window "because of a grab", which the
// toolkit reports as a deactivation like any other. Only a real one (the
// user went to another window) must remove the hooks. The toolkit reports
// no second deactivation for a real loss that follows a grab's, so that one
// is told from the server's own event.

#include <QAbstractNativeEventFilter>
#include <functional>

namespace rxt::ui {

class GrabFocusFilter : public QAbstractNativeEventFilter {
  public:
    // Called for a real focus loss after a deactivation that was held back.
    explicit GrabFocusFilter(std::function<void()> realLoss) : realLoss_(std::move(realLoss)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The toolkit reports a deactivation: false when a grab caused it (it is
    // held back until the focus really goes or comes back).
    bool passDeactivation() {
        held_ = grabFocusOut_;
        return !held_;
    }
    void activated() { held_ = false; }

    // The X focus event modes (xcb's numbering).
    static constexpr int kModeNormal = 0;
    static constexpr int kModeGrab = 1;
    static constexpr int kModeUngrab = 2;
    static constexpr int kModeWhileGrabbed = 3;
    void onFocusOut(int mode) {
        grabFocusOut_ = mode == kModeGrab;
        if (!grabFocusOut_ && held_) {
            held_ = false;
            realLoss_();
        }
    }
    void onFocusIn(int mode) {
        if (mode != kModeUngrab) {
            grabFocusOut_ = false;
        }
    }

  private:
    std::function<void()> realLoss_;
    bool grabFocusOut_ = false;  // UI thread only
    bool held_ = false;
};

}  // namespace rxt::ui
