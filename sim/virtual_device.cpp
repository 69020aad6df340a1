#include "sim/virtual_device.h"

#include <cstdio>

#include "sim/report_descriptors.h"

namespace rxt::sim {
namespace {

// Interface class of HID devices, as the Windows-style paths end.
constexpr const char* kHidClassGuid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";

std::string windowsStylePath(uint16_t vendor, uint16_t product, uint32_t interfaceNumber,
                             std::string_view name, uint64_t plugNumber) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "\\\\?\\hid#vid_%04x&pid_%04x&mi_%02x#sim-%.*s-%llu#%s", vendor,
                  product, interfaceNumber, static_cast<int>(name.size()), name.data(),
                  static_cast<unsigned long long>(plugNumber), kHidClassGuid);
    return buf;
}

std::vector<uint8_t> bytesOf(std::span<const uint8_t> s) {
    return {s.begin(), s.end()};
}

std::string statusText(uint8_t status) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x", status);
    return buf;
}

}  // namespace

VirtualDevice::VirtualDevice(DeviceKind kind) : kind_(kind), firmware_(kind) {}

uint16_t VirtualDevice::vendor() const {
    return identityOf(kind_).vendor;
}

void VirtualDevice::plug(uint16_t product, uint64_t plugNumber) {
    plugged_ = true;
    product_ = product;
    plugNumber_ = plugNumber;
    interfaces_.clear();
    const uint16_t vid = vendor();
    switch (kind_) {
        case DeviceKind::Mouse:
            // Boot mouse, configuration and consumer control on interfaces of
            // their own; the consumer interface uses no report ids.
            interfaces_.push_back({windowsStylePath(vid, product, 0, "mouse", plugNumber), 0,
                                   bytesOf(bootMouseDescriptor()), false, false, 0});
            interfaces_.push_back({windowsStylePath(vid, product, 1, "mouse", plugNumber), 1,
                                   bytesOf(configDescriptor()), true, false, 0});
            interfaces_.push_back({windowsStylePath(vid, product, 2, "mouse", plugNumber), 2,
                                   bytesOf(consumerDescriptor()), false, true, 0});
            break;
        case DeviceKind::Mousepad:
            // A node-style path without ids: the client must take them from
            // the enumeration fields.
            interfaces_.push_back({"usb-sim/1-4:1.0/mousepad." + std::to_string(plugNumber), 0,
                                   bytesOf(configDescriptor()), true, false, 0});
            break;
        case DeviceKind::Keyboard:
            // Configuration, consumer and system control share interface 1.
            interfaces_.push_back({windowsStylePath(vid, product, 0, "keyboard", plugNumber), 0,
                                   bytesOf(bootKeyboardDescriptor()), false, false, 0});
            interfaces_.push_back({windowsStylePath(vid, product, 1, "keyboard", plugNumber), 1,
                                   bytesOf(keyboardComboDescriptor()), true, true,
                                   kConsumerReportId});
            break;
    }
}

void VirtualDevice::unplug() {
    plugged_ = false;
    interfaces_.clear();
}

bool VirtualDevice::hasConsumerInterface() const {
    return kind_ == DeviceKind::Mouse || kind_ == DeviceKind::Keyboard;
}

DeviceReaction VirtualDevice::receive(size_t interfaceIndex, std::span<const uint8_t> report,
                                      double nowMs) {
    DeviceReaction reaction;
    if (!plugged_ || interfaceIndex >= interfaces_.size()) {
        return reaction;
    }
    const SimInterface& itf = interfaces_[interfaceIndex];
    reaction.unplug = faults_.countTowardsUnplug();

    LogEntry e;
    e.timeMs = nowMs;
    e.interfaceNumber = itf.number;
    e.size = report.size();
    e.reportId = report.empty() ? 0 : report[0];
    if (!itf.commands) {
        // Keyboard LED reports and the like: nothing this simulator acts on.
        e.outcome = "ignored";
        log_.add(std::move(e));
        return reaction;
    }

    std::optional<uint8_t> forced;
    if (report.size() == kReportSize) {
        Report r{};
        std::copy(report.begin(), report.end(), r.begin());
        const CommandRequest q = decodeCommandReport(r);
        if (q.reportId == kCommandReportId && q.checksumOk && q.length <= kMaxChunk) {
            forced = faults_.takeRefusal(q.code);
        }
    }
    const FirmwareAnswer a = firmware_.handle(report, nowMs, forced);
    e.command = a.answered;
    e.code = a.code;
    e.length = a.length;
    e.offset = a.offset;
    if (!a.answered) {
        e.outcome = a.note;
    } else {
        e.outcome = statusText(a.status);
        if (!a.note.empty()) {
            e.outcome += " " + a.note;
        }
        if (faults_.takeDrop()) {
            e.outcome += ", reply dropped";
        } else {
            reaction.reports.push_back(
                {interfaceIndex, faults_.delayMs(), {a.reply.begin(), a.reply.end()}});
        }
    }
    log_.add(std::move(e));
    return reaction;
}

std::vector<OutgoingReport> VirtualDevice::notification(uint16_t usage) const {
    std::vector<OutgoingReport> out;
    for (size_t i = 0; i < interfaces_.size(); ++i) {
        const SimInterface& itf = interfaces_[i];
        if (!itf.consumer) {
            continue;
        }
        auto report = [&itf](uint16_t u) {
            std::vector<uint8_t> bytes;
            if (itf.consumerReportId != 0) {
                bytes.push_back(itf.consumerReportId);
            }
            bytes.push_back(static_cast<uint8_t>(u));
            bytes.push_back(static_cast<uint8_t>(u >> 8));
            return bytes;
        };
        out.push_back({i, 0, report(usage)});
        out.push_back({i, 0, report(0)});
    }
    return out;
}

}  // namespace rxt::sim
