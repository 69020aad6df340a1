// The listener threads of discovery_threads.h.

#include <chrono>
#include <string>
#include <vector>

#include "device/hid_descriptor.h"
#include "device/interface_finder.h"
#include "platform/debug_log.h"
#include "state/discovery_threads.h"

namespace rxt {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kStopPoll{1};
constexpr milliseconds kIdleSleep{1000};
constexpr milliseconds kAfterStopSleep{100};
// The listener's node also carries the replies to every command the light
// threads stream; read in batches, they wake it once per pause. A user's
// notification waits at most this long, and the queue (64 reports on a
// hidraw node) holds far more than a pause's worth.
constexpr int kForeignReportPauseMs = 4;
// A read that fails this much sooner than its time-out was not a time-out:
// the connection broke under a device that is still (or again) present.
constexpr milliseconds kBrokenReadBound{kListenerReadTimeoutMs / 5};

// The first usage of the first data item, as the device puts its
// notification there; 0 when the report carries none.
uint16_t notificationUsage(const HidDevice& device, const uint8_t* report, size_t length) {
    std::vector<HidDataItem> items = makeDataItems(device.collection(), HidReportType::Input);
    if (items.empty() || !device.unpackReport(items, HidReportType::Input, report, length)) {
        return 0;
    }
    const HidDataItem& first = items.front();
    if (!first.isButton || first.usages.empty()) {
        return 0;
    }
    if (device.collection().numbered && first.reportId != report[0]) {
        return 0;
    }
    return first.usages.front();
}

void react(DeviceKind kind, DiscoveryContext& context, uint16_t usage) {
    if (usage == 0) {
        return;
    }
    if (context.onNotification) {
        context.onNotification(kind, usage);
    }
    if (const int message = listenerMessage(kind, usage); message != 0) {
        // Sent: the re-read is done before the next report is read.
        context.ui.sendMessage(message);
    } else if (usage == kNotifyEffect && kind == DeviceKind::Mouse) {
        context.ui.report(event::LightTrigger{kind});
    }
}

// Reads notifications until the stop event (true) or the device goes (false).
bool reportLoop(DeviceKind kind, DiscoveryContext& context, HidDevice& device,
                const StopEvent& stop) {
    // The transport puts a 0 before reports of interfaces without report ids,
    // so every report starts with its id.
    const size_t length = device.caps().inputLength;
    std::vector<uint8_t> report(length < 2 ? 2 : length);
    const std::string path = device.devicePath();
    for (;;) {
        if (stop.waitFor(kStopPoll)) {
            return true;
        }
        const auto started = Clock::now();
        size_t count = 0;
        if (device.read(report.size(), report.data(), kListenerReadTimeoutMs, &count)) {
            react(kind, context, notificationUsage(device, report.data(), count));
            continue;
        }
        if (!device.present(path)) {
            return false;
        }
        if (Clock::now() - started < kBrokenReadBound) {
            debugLogf("listener: read failed at once on %s, reopening", path.c_str());
            // Reading again would fail at once, over and over: reopen instead.
            return false;
        }
    }
}

}  // namespace

void runListener(DeviceKind kind, WorkerParam param) {
    DiscoveryContext& context = *param.context;
    StopEvent& stop = *param.stop;
    const InterfaceMatch match = consumerInterfaceMatch(kind);
    HidDevice device(context.links.backend());
    device.setForeignReportPause(kForeignReportPauseMs);
    bool failing = false;
    while (!stop.waitFor(kStopPoll)) {
        const uint64_t seen = context.waker.generation();
        const FindReport found = findAndOpen(device, match, false);
        if (found.result == FindResult::EnumerationFailed) {
            // As detection does: the bus may appear later.
            if (!failing) {
                debugLog("HID enumeration failed, listener goes on");
            }
            failing = true;
            context.waker.sleep(kIdleSleep, seen, stop);
            continue;
        }
        failing = false;
        bool endedOnStop = false;
        if (found.result == FindResult::Found) {
            debugLogf("listener: listening on %s", device.devicePath().c_str());
            endedOnStop = reportLoop(kind, context, device, stop);
            device.close();
        }
        context.waker.sleep(endedOnStop ? kAfterStopSleep : kIdleSleep, seen, stop);
    }
    debugLog(listenerExitText(kind));
}

}  // namespace rxt
