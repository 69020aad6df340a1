#pragma once
// Turns the input hook's key and button events into macro steps while a
// recording runs: auto-repeated presses and repeated mouse messages are
// dropped, keys without a macro row too, and each step learns the pause
// before the next from the events' own time stamps, so a busy UI thread
// neither stretches nor shrinks the pauses.

#include <chrono>
#include <cstdint>
#include <optional>

#include "macro/macro_action.h"
#include "platform/input_hook.h"

namespace rxt {

struct RecordOptions {
    bool fixedDelay = false;   // every pause 50 ms
    bool mouseClicks = false;  // record left, right and middle button events
};

struct RecordedStep {
    MacroAction step;        // delay 0: the last step keeps none
    uint16_t previousDelay;  // for the step before it, when there is one
};

inline constexpr uint16_t kFixedRecordDelay = 50;

class MacroRecorder {
  public:
    void start();
    std::optional<RecordedStep> keyEvent(const HookEvent& e, const RecordOptions& options);
    std::optional<RecordedStep> mouseEvent(const HookEvent& e, const RecordOptions& options);

  private:
    RecordedStep timed(MacroAction step, uint32_t time, const RecordOptions& options);

    uint16_t lastPress_ = 0;
    uint16_t lastMouseMessage_ = 0;
    std::optional<uint32_t> lastTime_;  // the event clock of the last step
    std::chrono::steady_clock::time_point started_{};
};

}  // namespace rxt
