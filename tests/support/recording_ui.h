#pragma once
// A UiReactions that writes every call down as one short line ("show mouse
// tab", "send 2305", "save mouse device" ...), for tests of the device state. A
// handler may be given for sent and posted messages and for timers, so that
// a test can let them act as the main window would.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_kind.h"
#include "state/ui_reactions.h"

namespace rxt::test {

class RecordingUi : public rxt::UiReactions {
  public:
    using Clock = std::chrono::steady_clock;

    std::function<void(int)> onMessage;     // sent and posted messages
    std::function<void(int, int)> onTimer;  // id, period

    void report(const rxt::WindowEvent& event) override {
        if (const auto* file = std::get_if<rxt::event::KeyboardDefaultFile>(&event)) {
            std::lock_guard lock(mutex_);
            defaultFile_.assign(file->keyTable.begin(), file->keyTable.end());
        }
        add(rxt::describe(event));
    }
    void showWindow(bool visible) override { add(visible ? "window show" : "window hide"); }
    void startTimer(int id, int periodMs) override {
        add("timer " + std::to_string(id) + " " + std::to_string(periodMs));
        if (onTimer) {
            onTimer(id, periodMs);
        }
    }
    void postMessage(int message) override {
        add("post " + std::to_string(message));
        if (onMessage) {
            onMessage(message);
        }
    }
    void sendMessage(int message) override {
        add("send " + std::to_string(message));
        if (onMessage) {
            onMessage(message);
        }
        add("sent " + std::to_string(message));
    }
    void postActivation() override { add("activation"); }
    void showMessageBox(std::string_view textKey) override {
        add("message " + std::string(textKey));
    }
    std::vector<std::string> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<uint8_t> defaultFile() const {
        std::lock_guard lock(mutex_);
        return defaultFile_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        calls_.clear();
        times_.clear();
    }
    size_t count(std::string_view call) const {
        std::lock_guard lock(mutex_);
        return static_cast<size_t>(std::count(calls_.begin(), calls_.end(), call));
    }
    bool has(std::string_view call) const { return count(call) != 0; }

    // Waits until the call has been made (counting from the start), true when it was.
    bool waitFor(std::string_view call, std::chrono::milliseconds timeout) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            return std::find(calls_.begin(), calls_.end(), call) != calls_.end();
        });
    }
    // Waits until the call has been made n times in all.
    bool waitForCount(std::string_view call, size_t n, std::chrono::milliseconds timeout) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            return static_cast<size_t>(std::count(calls_.begin(), calls_.end(), call)) >= n;
        });
    }
    // When the first such call was made; nullopt-like Clock::time_point{} when never.
    Clock::time_point firstTime(std::string_view call) const {
        std::lock_guard lock(mutex_);
        for (size_t i = 0; i < calls_.size(); ++i) {
            if (calls_[i] == call) {
                return times_[i];
            }
        }
        return {};
    }

  private:
    void add(std::string call) {
        {
            std::lock_guard lock(mutex_);
            calls_.push_back(std::move(call));
            times_.push_back(Clock::now());
        }
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> calls_;
    std::vector<Clock::time_point> times_;
    std::vector<uint8_t> defaultFile_;
};

}  // namespace rxt::test
