// rxtctl watch: the discovery and listener threads at work, one line per
// event: devices attached and removed, notifications, the re-reads they
// cause and the writes of pending records.

#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "state/headless_window.h"
#include "state/ui_reactions.h"
#include "tools/commands.h"
#include "tools/kind_link.h"

namespace rxt::tools {
namespace {

using Clock = std::chrono::steady_clock;

// Lines with a time stamp in milliseconds since the watch began; safe from
// every thread. Events that come before the heading (the threads start
// before it can say whether change notifications are on) are held and
// printed after it.
class EventPrinter {
  public:
    explicit EventPrinter(std::ostream& out) : out_(out), start_(Clock::now()) {}

    void line(const std::string& text) {
        std::string stamped = stamp() + text;
        std::lock_guard lock(mutex_);
        if (!headed_) {
            held_.push_back(std::move(stamped));
            return;
        }
        out_ << stamped << std::endl;
    }

    void heading(const std::string& text) {
        std::string stamped = stamp() + text;
        std::lock_guard lock(mutex_);
        out_ << stamped << std::endl;
        for (const std::string& held : held_) {
            out_ << held << std::endl;
        }
        held_.clear();
        headed_ = true;
    }

  private:
    std::string stamp() const {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
        char text[24];
        std::snprintf(text, sizeof text, "%8lld ms  ", static_cast<long long>(ms));
        return text;
    }

    std::mutex mutex_;
    std::ostream& out_;
    Clock::time_point start_;
    bool headed_ = false;
    std::vector<std::string> held_;
};

// The window's view: page changes are of no interest here; message boxes
// and the light-effect trigger are events.
class WatchView : public NullReactions {
  public:
    explicit WatchView(EventPrinter& print) : print_(print) {}

    void showMessageBox(std::string_view key) override {
        print_.line("message box " + std::string(key));
    }
    void report(const WindowEvent& event) override {
        if (std::holds_alternative<event::LightTrigger>(event)) {
            print_.line("light effect triggered");
        }
    }

  private:
    EventPrinter& print_;
};

std::string usageText(uint16_t usage) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%03x", usage);
    std::string text = std::to_string(usage) + " (" + hex + ")";
    switch (usage) {
        case kNotifyRefresh:
            return text + ": current record changed";
        case kNotifyReadAll:
            return text + ": everything changed";
        case kNotifyEffect:
            return text + ": light effect";
        default:
            return text + ": no action";
    }
}

// SIGINT and SIGTERM are taken by sigtimedwait rather than a handler, so the
// stop runs on this thread. The mask is set before any thread starts (they
// inherit it) and given back at the end.
class BlockedStopSignals {
  public:
    BlockedStopSignals() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGINT);
        sigaddset(&set_, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &set_, &old_);
    }
    ~BlockedStopSignals() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }

    // True when a signal came before the time ran out (forever when negative).
    bool wait(long long ms) const {
        const auto until = Clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
        for (;;) {
            timespec slice{1, 0};
            if (ms >= 0) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::nanoseconds>(until - Clock::now());
                if (left.count() <= 0) {
                    return false;
                }
                const auto n = std::min<long long>(left.count(), 1'000'000'000LL);
                slice = {static_cast<time_t>(n / 1'000'000'000LL),
                         static_cast<long>(n % 1'000'000'000LL)};
            }
            const int got = sigtimedwait(&set_, nullptr, &slice);
            if (got > 0) {
                return true;
            }
            if (got < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            }
        }
    }

  private:
    sigset_t set_;
    sigset_t old_;
};

}  // namespace

int cmdWatch(const Context& ctx, const std::vector<std::string>& args) {
    OptionMap opts;
    std::string error;
    long long seconds = -1;
    if (!opts.parse(args, 1, {"--seconds"}, error) ||
        !opts.number("--seconds", 0, 7 * 24 * 3600, seconds, error)) {
        ctx.err << "rxtctl: " << error << "\nusage: rxtctl watch [--seconds N]\n";
        return kExitUsage;
    }
    if (!opts.has("--seconds")) {
        seconds = -1;
    }
    auto backend = defaultHidBackend();
    std::vector<HidNodeInfo> nodes;
    if (!backend->enumerate(nodes)) {
        ctx.err << "rxtctl: the HID interfaces on " << ctx.busName << " cannot be listed\n";
        return kExitUsage;
    }

    BlockedStopSignals signals;
    EventPrinter print(ctx.out);
    WatchView view(print);
    DeviceImageSet images;
    HeadlessWindow window(backend, images, view);
    DiscoveryContext& context = window.context();
    context.onPresence = [&](DeviceKind kind, bool attached) {
        print.line(std::string(kindName(kind)) + (attached ? " attached" : " removed"));
    };
    context.onNotification = [&](DeviceKind kind, uint16_t usage) {
        print.line(std::string(kindName(kind)) + " notification " + usageText(usage));
    };
    window.events().setOnRead([&](DeviceKind kind, bool all) {
        if (window.links().connected(kind)) {
            print.line(std::string(kindName(kind)) +
                       (all ? " re-read: everything" : " re-read: current record"));
        }
    });
    window.writeBack().setOnRecordWritten([&](DeviceKind kind, int result) {
        print.line(std::string(kindName(kind)) + " pending record written, result " +
                   std::to_string(result));
    });

    window.start(true);
    print.heading(
        "watching " + ctx.busName +
        (window.workers().hotplugWatching() ? " (change notifications on)" : " (polling)"));
    const bool interrupted = signals.wait(seconds < 0 ? -1 : seconds * 1000);
    const auto stopping = Clock::now();
    const bool ended = window.stop(std::chrono::milliseconds(10000));
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - stopping).count();
    print.line(std::string(interrupted ? "interrupted" : "time is up") + ", threads " +
               (ended ? "ended" : "still running") + " after " + std::to_string(took) + " ms");
    return ended ? kExitOk : kExitFailed;
}

}  // namespace rxt::tools
