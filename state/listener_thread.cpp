// The listener threads of discovery_threads.h.

#include <chrono>
#include <string>
#include <vector>

#include "device/hid_descriptor.h"
#include "platform/debug_log.h"
#include "state/discovery_threads.h"

namespace rxt {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kStopPoll{1};
constexpr milliseconds kIdleSleep{1000};
constexpr milliseconds kAfterStopSleep{100};
// A read that fails this much sooner than its time-out was not a time-out:
// the connection broke under a device that is still (or again) present.
constexpr milliseconds kBrokenReadBound{kListenerReadTimeoutMs / 5};

constexpr uint16_t kMouseVendor = 0x320F;
constexpr uint16_t kMouseProduct = 0x2002;
constexpr uint16_t kKeyboardVendor = 0x0C45;
constexpr uint16_t kKeyboardProduct = 0x6553;

struct ListenerIdentity {
    uint16_t vendor;
    uint16_t product;
};

ListenerIdentity identityFor(DeviceKind kind) {
    return kind == DeviceKind::Mouse ? ListenerIdentity{kMouseVendor, kMouseProduct}
                                     : ListenerIdentity{kKeyboardVendor, kKeyboardProduct};
}

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
        context.ui.triggerLightEffects();
    }
}

// Reads notifications until the stop event (true) or the device goes (false).
bool reportLoop(DeviceKind kind, DiscoveryContext& context, HidDevice& device,
                const StopEvent& stop) {
    const size_t length = device.caps().inputLength;
    std::vector<uint8_t> report(length == 0 ? 1 : length);
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
        if (!context.links.backend()->present(path)) {
            return false;
        }
        if (Clock::now() - started < kBrokenReadBound) {
            // Reading again would fail at once, over and over: reopen instead.
            return false;
        }
    }
}

}  // namespace

void runListener(DeviceKind kind, WorkerParam param) {
    DiscoveryContext& context = *param.context;
    StopEvent& stop = *param.stop;
    const ListenerIdentity id = identityFor(kind);
    HidDevice device(context.links.backend());
    while (!stop.waitFor(kStopPoll)) {
        const uint64_t seen = context.waker.generation();
        if (!device.enumerate()) {
            debugLog("HID enumeration failed, listener ends");
            break;
        }
        bool endedOnStop = false;
        while (const HidPathEntry* entry = device.nextPath()) {
            if (entry->vendor != id.vendor || entry->product != id.product) {
                continue;
            }
            const std::string path = entry->path;
            if (!device.open(path, true, false, true, false)) {
                continue;
            }
            const HidAttributes& attributes = device.attributes();
            const HidCaps& caps = device.caps();
            const bool accepted =
                attributes.vendor == id.vendor && attributes.product == id.product &&
                caps.usagePage == kConsumerUsagePage && caps.usage == kConsumerUsage;
            if (accepted) {
                endedOnStop = reportLoop(kind, context, device, stop);
            }
            device.close();
            if (accepted) {
                break;
            }
        }
        device.freePathList();
        context.waker.sleep(endedOnStop ? kAfterStopSleep : kIdleSleep, seen, stop);
    }
    debugLog(listenerExitText(kind));
}

}  // namespace rxt
