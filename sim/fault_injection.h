#pragma once
// Faults a virtual device can be told to show, for tests of the host's
// retries and time-outs.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace rxt::sim {

class FaultInjection {
  public:
    // The next n replies are not sent (the requests still take effect).
    void dropReplies(uint32_t n) { dropReplies_ = n; }
    // Requests with this command code are refused with status (0xFF or
    // 0xFE); count limits how many, none means until cleared.
    void refuseCommand(uint8_t code, uint8_t status, std::optional<uint32_t> count = std::nullopt);
    // Every reply leaves ms milliseconds after its request (notifications do
    // not wait).
    void delayReplies(uint32_t ms) { delayMs_ = ms; }
    // The device is unplugged right after it has taken n more reports.
    void unplugAfter(uint32_t n) { unplugAfter_ = n; }
    void clear();

    // Per received report, in this order. Each consumes what it reports.
    bool countTowardsUnplug();  // true when this report is the last before the unplug
    std::optional<uint8_t> takeRefusal(uint8_t code);
    bool takeDrop();
    uint32_t delayMs() const { return delayMs_; }

    uint32_t pendingDrops() const { return dropReplies_; }
    std::optional<uint32_t> pendingUnplug() const { return unplugAfter_; }
    // "none", or e.g. "drop=2 refuse=ReadInfo:ff:3 delay=1 unplug-after=5".
    std::string describe() const;

  private:
    struct Refusal {
        uint8_t status;
        std::optional<uint32_t> remaining;
    };
    uint32_t dropReplies_ = 0;
    std::map<uint8_t, Refusal> refusals_;
    uint32_t delayMs_ = 0;
    std::optional<uint32_t> unplugAfter_;
};

}  // namespace rxt::sim
