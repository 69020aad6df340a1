#include "settings/pointer_settings.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "settings/host_pointer.h"

namespace rxt::perf {

int pointerSpeedOfSlider(int position) {
    return std::max(position, 0) * 2 + 2;
}

int sliderOfPointerSpeed(int speed) {
    return speed / 2 - 1;
}

int wheelUp(int lines) {
    if (lines <= 0) {
        lines = 1;
    }
    return std::min(lines + 1, SystemPointer::kMaxWheelLines);
}

int wheelDown(int lines) {
    if (lines > SystemPointer::kMaxWheelLines) {
        lines = SystemPointer::kMaxWheelLines;
    }
    return std::max(lines - 1, SystemPointer::kMinWheelLines);
}

int wheelEditValue(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - '0'), std::numeric_limits<int>::max());
    }
    return static_cast<int>(negative ? -value : value);
}

int applyPointerSpeed(SystemPointer& system, std::atomic<int>& stored, int speed) {
    const int clamped = clampPointerSpeed(speed);
    stored.store(clamped);
    system.setPointerSpeed(clamped);
    return clamped;
}

bool applyWheelLines(SystemPointer& system, int lines) {
    return system.setWheelScrollLines(clampWheelLines(lines));
}

PointerWorkers::~PointerWorkers() {
    wait();
}

void PointerWorkers::setPointerSpeed(int speed, std::atomic<int>& stored) {
    latestSpeed_.store(speed);
    launch([this, &stored] {
        std::lock_guard lock(applyMutex_);
        applyPointerSpeed(system_, stored, latestSpeed_.load());
    });
}

void PointerWorkers::setWheelLines(int lines) {
    latestLines_.store(lines);
    launch([this] {
        std::lock_guard lock(applyMutex_);
        applyWheelLines(system_, latestLines_.load());
    });
}

void PointerWorkers::launch(std::function<void()> body) {
    std::lock_guard lock(workersMutex_);
    // Ended workers are joined here, so the list stays as short as the
    // workers still running.
    workers_.remove_if([](Worker& w) {
        if (!w.done.load()) {
            return false;
        }
        w.thread.join();
        return true;
    });
    Worker& worker = workers_.emplace_back();
    worker.thread = std::thread([body = std::move(body), &worker] {
        body();
        worker.done.store(true);
    });
}

void PointerWorkers::wait() {
    std::list<Worker> running;
    {
        std::lock_guard lock(workersMutex_);
        running.splice(running.end(), workers_);
    }
    for (Worker& w : running) {
        w.thread.join();
    }
}

}  // namespace rxt::perf
