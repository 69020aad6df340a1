#include "macro/macro_recorder.h"

#include "macro/action_tables.h"

namespace rxt {

void MacroRecorder::start() {
    lastPress_ = 0;
    lastMouseMessage_ = 0;
    lastTime_.reset();
    started_ = std::chrono::steady_clock::now();
}

RecordedStep MacroRecorder::timed(MacroAction step, uint32_t time, const RecordOptions& options) {
    uint64_t interval;
    if (lastTime_) {
        interval = static_cast<uint32_t>(time - *lastTime_);  // the clock may wrap
    } else {
        // Before the first event only the local clock knows the start.
        interval = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now() - started_)
                                             .count());
    }
    lastTime_ = time;
    uint16_t delay = interval > 65534 ? 65535 : static_cast<uint16_t>(interval);
    if (options.fixedDelay) {
        delay = kFixedRecordDelay;
    }
    step.delay = 0;
    return {std::move(step), delay};
}

std::optional<RecordedStep> MacroRecorder::keyEvent(const HookEvent& e,
                                                    const RecordOptions& options) {
    uint16_t vk = e.virtualKey;
    if (vk == 0x0D && (e.flags == 0x01 || e.flags == 0x81)) {
        vk = kVkKeypadEnter;
    }
    const bool press = e.isKeyDown();
    if (press) {
        if (vk == lastPress_) {
            return std::nullopt;  // auto-repeat
        }
        lastPress_ = vk;
    } else if (vk == lastPress_) {
        lastPress_ = 0;
    }
    const std::optional<size_t> row = macroKeyRowOfVirtualKey(vk);
    if (!row) {
        return std::nullopt;
    }
    const KeyRow& k = kKeyTable[*row];
    MacroAction step;
    if (k.usage != 0) {
        step.code = kActionKey;
        step.value = k.usage;
    } else {
        step.code = kActionModifier;
        step.value = k.modifier;
    }
    step.code |= press ? kActionDirectionBit : 0;
    step.pressed = press ? 1 : 0;
    step.name = std::string(k.name);
    return timed(std::move(step), e.time, options);
}

std::optional<RecordedStep> MacroRecorder::mouseEvent(const HookEvent& e,
                                                      const RecordOptions& options) {
    if (!options.mouseClicks) {
        return std::nullopt;
    }
    for (size_t r = 0; r < kMouseRecordedRows; ++r) {
        const MouseActionRow& row = kMouseActionTable[r];
        if (row.message != e.hookMessage) {
            continue;
        }
        if (e.hookMessage == lastMouseMessage_) {
            return std::nullopt;
        }
        lastMouseMessage_ = e.hookMessage;
        MacroAction step;
        step.code = row.code;
        step.value = row.value;
        step.pressed = (row.code & kActionDirectionBit) ? 1 : 0;
        step.name = std::string(row.name);
        return timed(std::move(step), e.time, options);
    }
    return std::nullopt;
}

}  // namespace rxt
