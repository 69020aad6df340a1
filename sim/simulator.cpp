#include "sim/simulator.h"

#include <algorithm>
#include <cstdio>

#include "sim/hex_text.h"

namespace rxt::sim {
namespace {

std::string hex4(uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", v);
    return buf;
}

std::string name(DeviceKind kind) {
    return std::string(kindName(kind));
}

SimAnswer ok(std::string text) {
    return {true, std::move(text)};
}
SimAnswer fail(std::string text) {
    return {false, std::move(text)};
}

// Version numbers the devices report (their firmware, as in the info record).
uint16_t versionOf(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Mouse:
            return 0x0103;
        case DeviceKind::Mousepad:
            return 0x0101;
        case DeviceKind::Keyboard:
            break;
    }
    return 0x0205;
}

}  // namespace

Simulator::Simulator() : start_(SimClock::now()) {
    for (DeviceKind k : kAllDeviceKinds) {
        devices_[static_cast<size_t>(k)] = std::make_unique<VirtualDevice>(k);
    }
}

Simulator::~Simulator() = default;

double Simulator::nowMs() const {
    return std::chrono::duration<double, std::milli>(SimClock::now() - start_).count();
}

void Simulator::setWakeup(std::function<void()> wake) {
    std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
}

void Simulator::wakeLocked() {
    if (wake_) {
        wake_();
    }
}

std::string Simulator::enumerationText() const {
    std::lock_guard lock(mutex_);
    std::string out;
    for (const auto& d : devices_) {
        if (!d->plugged()) {
            continue;
        }
        for (const SimInterface& itf : d->interfaces()) {
            out += itf.path;
            out += '\t' + hex4(d->vendor());
            out += '\t' + hex4(d->product());
            out += '\t' + hex4(versionOf(d->kind()));
            out += '\t' + std::to_string(itf.number);
            out += '\t' + toHex(itf.descriptor);
            out += '\n';
        }
    }
    return out;
}

std::optional<InterfaceRef> Simulator::findInterface(std::string_view path) const {
    std::lock_guard lock(mutex_);
    for (const auto& d : devices_) {
        if (!d->plugged()) {
            continue;
        }
        const auto& itfs = d->interfaces();
        for (size_t i = 0; i < itfs.size(); ++i) {
            if (itfs[i].path == path) {
                return InterfaceRef{d->kind(), d->plugNumber(), i};
            }
        }
    }
    return std::nullopt;
}

bool Simulator::deliver(const InterfaceRef& where, std::span<const uint8_t> report) {
    std::lock_guard lock(mutex_);
    VirtualDevice& d = dev(where.kind);
    if (!d.plugged() || d.plugNumber() != where.plug) {
        return false;
    }
    const DeviceReaction r = d.receive(where.index, report, nowMs());
    scheduleLocked(d, r.reports);
    if (r.unplug) {
        unplugLocked(d);
    }
    return true;
}

void Simulator::scheduleLocked(const VirtualDevice& d, const std::vector<OutgoingReport>& reports) {
    if (reports.empty()) {
        return;
    }
    const auto now = SimClock::now();
    for (const OutgoingReport& r : reports) {
        pending_.push_back({now + std::chrono::milliseconds(r.delayMs),
                            {{d.kind(), d.plugNumber(), r.interfaceIndex}, r.bytes}});
    }
    wakeLocked();
}

void Simulator::unplugLocked(VirtualDevice& d) {
    // Reports already due still go out (a reply sent just before the
    // device left); later ones are lost with the device.
    const auto now = SimClock::now();
    std::erase_if(pending_, [&](const Pending& p) {
        return p.report.where.kind == d.kind() && p.report.where.plug == d.plugNumber() &&
               p.due > now;
    });
    gone_.emplace_back(d.kind(), d.plugNumber());
    d.unplug();
    ++changes_;
    wakeLocked();
}

BusEvents Simulator::takeEvents() {
    std::lock_guard lock(mutex_);
    BusEvents ev;
    const auto now = SimClock::now();
    std::vector<Pending> later;
    for (Pending& p : pending_) {
        if (p.due <= now) {
            ev.reports.push_back(std::move(p.report));
        } else {
            if (!ev.nextDue || p.due < *ev.nextDue) {
                ev.nextDue = p.due;
            }
            later.push_back(std::move(p));
        }
    }
    pending_ = std::move(later);
    ev.gone = std::move(gone_);
    gone_.clear();
    ev.changes = std::exchange(changes_, 0);
    return ev;
}

SimAnswer Simulator::plug(DeviceKind kind, uint16_t product) {
    std::lock_guard lock(mutex_);
    VirtualDevice& d = dev(kind);
    if (d.plugged()) {
        return fail(name(kind) + " is already plugged");
    }
    if (product == 0) {
        product = identityOf(kind).product;
    }
    const bool known = kind == DeviceKind::Keyboard
                           ? std::find(kKeyboardProducts.begin(), kKeyboardProducts.end(),
                                       product) != kKeyboardProducts.end()
                           : product == identityOf(kind).product;
    if (!known) {
        return fail("no " + name(kind) + " has product id " + hex4(product));
    }
    d.plug(product, ++plugCounter_);
    ++changes_;
    wakeLocked();
    return ok("plugged " + name(kind) + " " + hex4(d.vendor()) + ":" + hex4(product) + " with " +
              std::to_string(d.interfaces().size()) + " interfaces");
}

SimAnswer Simulator::unplug(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    VirtualDevice& d = dev(kind);
    if (!d.plugged()) {
        return fail(name(kind) + " is not plugged");
    }
    unplugLocked(d);
    return ok("unplugged " + name(kind));
}

bool Simulator::isPlugged(DeviceKind kind) const {
    std::lock_guard lock(mutex_);
    return dev(kind).plugged();
}

uint16_t Simulator::product(DeviceKind kind) const {
    std::lock_guard lock(mutex_);
    return dev(kind).plugged() ? dev(kind).product() : 0;
}

std::vector<std::string> Simulator::paths(DeviceKind kind) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const SimInterface& itf : dev(kind).interfaces()) {
        out.push_back(itf.path);
    }
    return out;
}

SimAnswer Simulator::notifyLocked(VirtualDevice& d, uint16_t usage, std::string done) {
    if (!d.hasConsumerInterface()) {
        return ok(done + " (the " + name(d.kind()) + " sends no notifications)");
    }
    scheduleLocked(d, d.notification(usage));
    return ok(done + ", notified " + std::to_string(usage));
}

SimAnswer Simulator::pressDpiButton(std::optional<uint8_t> level) {
    std::lock_guard lock(mutex_);
    VirtualDevice& d = dev(DeviceKind::Mouse);
    if (!d.plugged()) {
        return fail("mouse is not plugged");
    }
    if (level && *level >= kDpiLevels) {
        return fail("DPI level must be 0 to 6");
    }
    const uint8_t now = d.firmware().stepDpiLevel(level);
    return notifyLocked(d, kNotifyRecordChanged, "active DPI level " + std::to_string(now));
}

SimAnswer Simulator::switchProfile(DeviceKind kind, std::optional<uint8_t> index) {
    std::lock_guard lock(mutex_);
    VirtualDevice& d = dev(kind);
    if (!d.plugged()) {
        return fail(name(kind) + " is not plugged");
    }
    if (index && *index >= kRecordCount) {
        return fail("profile index must be 0 to 4");
    }
    const uint8_t now = d.firmware().switchProfile(index);
    return notifyLocked(d, kNotifyProfileChanged, "profile " + std::to_string(now));
}

SimAnswer Simulator::pressLightKey(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    VirtualDevice& d = dev(kind);
    if (!d.plugged()) {
        return fail(name(kind) + " is not plugged");
    }
    const uint8_t mode = d.firmware().stepLightMode();
    return notifyLocked(d, kNotifyRecordChanged, "light mode " + std::to_string(mode));
}

SimAnswer Simulator::click(DeviceKind kind) {
    return notify(kind, kNotifyReactiveFlash);
}

SimAnswer Simulator::notify(DeviceKind kind, uint16_t usage) {
    std::lock_guard lock(mutex_);
    VirtualDevice& d = dev(kind);
    if (!d.plugged()) {
        return fail(name(kind) + " is not plugged");
    }
    if (!d.hasConsumerInterface()) {
        return fail("the " + name(kind) + " has no consumer-control interface");
    }
    scheduleLocked(d, d.notification(usage));
    return ok("notified " + std::to_string(usage));
}

SimAnswer Simulator::dropReplies(DeviceKind kind, uint32_t n) {
    std::lock_guard lock(mutex_);
    dev(kind).faults().dropReplies(n);
    return ok(dev(kind).faults().describe());
}

SimAnswer Simulator::refuseCommand(DeviceKind kind, uint8_t code, uint8_t status,
                                   std::optional<uint32_t> count) {
    if (status != kStatusRefused && status != kStatusRefusedOther) {
        return fail("refusal status must be ff or fe");
    }
    std::lock_guard lock(mutex_);
    dev(kind).faults().refuseCommand(code, status, count);
    return ok(dev(kind).faults().describe());
}

SimAnswer Simulator::delayReplies(DeviceKind kind, uint32_t ms) {
    if (ms > 60000) {
        return fail("delay above 60000 ms");
    }
    std::lock_guard lock(mutex_);
    dev(kind).faults().delayReplies(ms);
    return ok(dev(kind).faults().describe());
}

SimAnswer Simulator::unplugAfter(DeviceKind kind, uint32_t reports) {
    if (reports == 0) {
        return fail("unplug-after needs at least 1 report (use unplug to unplug now)");
    }
    std::lock_guard lock(mutex_);
    dev(kind).faults().unplugAfter(reports);
    return ok(dev(kind).faults().describe());
}

SimAnswer Simulator::clearFaults(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    dev(kind).faults().clear();
    return ok(dev(kind).faults().describe());
}

std::string Simulator::faults(DeviceKind kind) const {
    std::lock_guard lock(mutex_);
    return dev(kind).faults().describe();
}

std::optional<std::vector<uint8_t>> Simulator::dump(DeviceKind kind, MemoryArea area, size_t offset,
                                                    std::optional<size_t> length,
                                                    std::string* error) const {
    std::lock_guard lock(mutex_);
    const auto& mem = dev(kind).firmware().memory().area(area);
    auto refuse = [&](std::string why) -> std::optional<std::vector<uint8_t>> {
        if (error) {
            *error = std::move(why);
        }
        return std::nullopt;
    };
    if (mem.empty()) {
        return refuse("the " + name(kind) + " has no " + std::string(areaName(area)) + " memory");
    }
    if (offset > mem.size() || (length && *length > mem.size() - offset)) {
        return refuse(std::string(areaName(area)) + " memory of the " + name(kind) + " has " +
                      std::to_string(mem.size()) + " bytes");
    }
    const size_t n = length ? *length : mem.size() - offset;
    return std::vector<uint8_t>(mem.begin() + static_cast<std::ptrdiff_t>(offset),
                                mem.begin() + static_cast<std::ptrdiff_t>(offset + n));
}

SimAnswer Simulator::poke(DeviceKind kind, MemoryArea area, size_t offset,
                          std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    auto& mem = dev(kind).firmware().memory().area(area);
    if (mem.empty()) {
        return fail("the " + name(kind) + " has no " + std::string(areaName(area)) + " memory");
    }
    if (offset > mem.size() || bytes.size() > mem.size() - offset) {
        return fail(std::string(areaName(area)) + " memory of the " + name(kind) + " has " +
                    std::to_string(mem.size()) + " bytes");
    }
    std::copy(bytes.begin(), bytes.end(), mem.begin() + static_cast<std::ptrdiff_t>(offset));
    return ok("wrote " + std::to_string(bytes.size()) + " bytes");
}

std::vector<LogEntry> Simulator::log(DeviceKind kind, uint64_t from, size_t max) const {
    std::lock_guard lock(mutex_);
    return dev(kind).log().since(from, max);
}

uint64_t Simulator::nextLogSeq(DeviceKind kind) const {
    std::lock_guard lock(mutex_);
    return dev(kind).log().nextSeq();
}

void Simulator::clearLog(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    dev(kind).log().clear();
}

FrameStats Simulator::frameStats(DeviceKind kind) const {
    std::lock_guard lock(mutex_);
    return dev(kind).firmware().frameStats();
}

FirmwareCounters Simulator::counters(DeviceKind kind) const {
    std::lock_guard lock(mutex_);
    return dev(kind).firmware().counters();
}

void Simulator::clearStatistics(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    dev(kind).firmware().clearStatistics();
}

SimAnswer Simulator::restoreFactory(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    dev(kind).firmware().restoreFactory();
    return ok(name(kind) + " memory restored");
}

}  // namespace rxt::sim
