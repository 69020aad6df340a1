#include "sim/fault_injection.h"

#include <cstdio>

#include "device/command_report.h"

namespace rxt::sim {

void FaultInjection::refuseCommand(uint8_t code, uint8_t status, std::optional<uint32_t> count) {
    if (count && *count == 0) {
        refusals_.erase(code);
        return;
    }
    refusals_[code] = Refusal{status, count};
}

void FaultInjection::clear() {
    dropReplies_ = 0;
    refusals_.clear();
    delayMs_ = 0;
    unplugAfter_.reset();
}

bool FaultInjection::countTowardsUnplug() {
    if (!unplugAfter_) {
        return false;
    }
    if (*unplugAfter_ <= 1) {
        unplugAfter_.reset();
        return true;
    }
    --*unplugAfter_;
    return false;
}

std::optional<uint8_t> FaultInjection::takeRefusal(uint8_t code) {
    auto it = refusals_.find(code);
    if (it == refusals_.end()) {
        return std::nullopt;
    }
    const uint8_t status = it->second.status;
    if (it->second.remaining && --*it->second.remaining == 0) {
        refusals_.erase(it);
    }
    return status;
}

bool FaultInjection::takeDrop() {
    if (dropReplies_ == 0) {
        return false;
    }
    --dropReplies_;
    return true;
}

std::string FaultInjection::describe() const {
    std::string out;
    auto add = [&out](const std::string& part) {
        if (!out.empty()) {
            out += ' ';
        }
        out += part;
    };
    if (dropReplies_ > 0) {
        add("drop=" + std::to_string(dropReplies_));
    }
    for (const auto& [code, r] : refusals_) {
        char status[8];
        std::snprintf(status, sizeof status, "%02x", r.status);
        std::string part = "refuse=" + std::string(commandName(code));
        if (commandName(code) == "unknown") {
            part = "refuse=" + std::to_string(code);
        }
        part += ":" + std::string(status);
        if (r.remaining) {
            part += ":" + std::to_string(*r.remaining);
        }
        add(part);
    }
    if (delayMs_ > 0) {
        add("delay=" + std::to_string(delayMs_));
    }
    if (unplugAfter_) {
        add("unplug-after=" + std::to_string(*unplugAfter_));
    }
    return out.empty() ? "none" : out;
}

}  // namespace rxt::sim
