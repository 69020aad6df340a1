// The X server's pointer control as the pointer speed. The server has no
// wheel-lines setting, so those are kept in the settings file only; the
// file also keeps the speed, since the server forgets it at logout.
//
// Mapping of the 1..20 scale onto the server's acceleration (a factor
// numerator / denominator applied above a threshold of pixels):
//   speed 10  -> the server's own defaults (numerator, denominator and
//                threshold -1), 2/1 above 4 pixels on a stock server;
//   speed s   -> acceleration s/5, so 2/1 x s/10: 1 gives 0.2, 20 gives 4;
//                the threshold stays the server's default.
// Reading gives round(5 x numerator / denominator) within 1..20, so the
// stock default reads as 10.

#include <algorithm>
#include <cmath>

#include "platform/system_pointer.h"

#ifdef RXT_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace rxt {

#ifdef RXT_HAVE_X11
namespace {

constexpr int kSpeedDenominator = 5;

class X11SystemPointer final : public SystemPointer {
  public:
    X11SystemPointer(std::string display, std::unique_ptr<SystemPointer> file)
        : display_(std::move(display)), file_(std::move(file)) {}

    int pointerSpeed() override {
        int numerator = 0;
        int denominator = 0;
        int threshold = 0;
        if (!withDisplay(
                [&](Display* d) { XGetPointerControl(d, &numerator, &denominator, &threshold); }) ||
            denominator <= 0) {
            return file_->pointerSpeed();
        }
        const double speed = kSpeedDenominator * static_cast<double>(numerator) / denominator;
        return std::clamp(static_cast<int>(std::lround(speed)), kMinSpeed, kMaxSpeed);
    }

    int wheelScrollLines() override { return file_->wheelScrollLines(); }

    bool setPointerSpeed(int speed) override {
        if (speed < kMinSpeed || speed > kMaxSpeed) {
            return false;
        }
        const bool stock = speed == kDefaultSpeed;
        const bool applied = withDisplay([&](Display* d) {
            XChangePointerControl(d, True, False, stock ? -1 : speed,
                                  stock ? -1 : kSpeedDenominator, -1);
            XSync(d, False);
        });
        return file_->setPointerSpeed(speed) && applied;
    }

    bool setWheelScrollLines(int lines) override { return file_->setWheelScrollLines(lines); }
    std::string_view backendName() const override { return "X11"; }

  private:
    // A connection per call: the workers call from their own threads, and
    // Xlib connections are not shared between threads here.
    template <class Fn>
    bool withDisplay(Fn&& fn) {
        Display* d = XOpenDisplay(display_.empty() ? nullptr : display_.c_str());
        if (d == nullptr) {
            return false;
        }
        fn(d);
        XCloseDisplay(d);
        return true;
    }

    std::string display_;
    std::unique_ptr<SystemPointer> file_;
};

}  // namespace

std::unique_ptr<SystemPointer> makeX11SystemPointer(std::filesystem::path file,
                                                    const std::string& display) {
    Display* d = XOpenDisplay(display.empty() ? nullptr : display.c_str());
    if (d == nullptr) {
        return nullptr;
    }
    XCloseDisplay(d);
    return std::make_unique<X11SystemPointer>(display, makeFileSystemPointer(std::move(file)));
}

#else

std::unique_ptr<SystemPointer> makeX11SystemPointer(std::filesystem::path, const std::string&) {
    return nullptr;
}

#endif

}  // namespace rxt
