#include "app/shell/worker_threads.h"

#include <array>

#include "platform/debug_log.h"
#include "platform/thread_name.h"

namespace rxt::shell {

std::string_view workerExitText(WorkerSlot slot) {
    switch (slot) {
        case WorkerSlot::KeyboardDetection:
            return "键盘设备侦测线程设定退出";
        case WorkerSlot::MouseDetection:
            return "鼠标设备侦测线程设定退出";
        case WorkerSlot::MousepadDetection:
            return "鼠标垫设备侦测线程设定退出";
        case WorkerSlot::MouseListener:
            return "鼠标同步线程设定测试退出";
        case WorkerSlot::KeyboardListener:
            return "键盘同步线程设定退出";
        case WorkerSlot::KeyboardLight:
            return "键盘灯光线程设定退出";
        case WorkerSlot::MouseLight:
            return "鼠标灯光线程设定退出";
        case WorkerSlot::MousepadLight:
            return "鼠标垫灯光线程设定退出";
        case WorkerSlot::LightSync:
            return "同步灯光线程设定退出";
        case WorkerSlot::KeyboardDeviceFollowsApp:
            return "键盘灯光进程侦测线程设定退出";
        case WorkerSlot::KeyboardKeyFollowsApp:
            return "键盘按键进程侦测线程设定退出";
        case WorkerSlot::MouseDeviceFollowsApp:
            return "鼠标灯光进程侦测线程设定退出";
        case WorkerSlot::MouseKeyFollowsApp:
            return "鼠标按键进程线程设定退出";
        case WorkerSlot::MousepadLightingFollowsApp:
            return "鼠标垫灯光进程侦测线程设定退出";
    }
    return {};
}

std::string_view workerThreadName(WorkerSlot slot) {
    // By slot, as ps and top show them.
    static constexpr std::array<std::string_view, kWorkerSlots> kNames{
        "rxt-kb-detect",  "rxt-ms-detect",  "rxt-mp-detect",  "rxt-ms-listen",  "rxt-kb-listen",
        "rxt-kb-light",   "rxt-ms-light",   "rxt-mp-light",   "rxt-light-sync", "rxt-kb-dev-app",
        "rxt-kb-key-app", "rxt-ms-dev-app", "rxt-ms-key-app", "rxt-mp-app"};
    return kNames[static_cast<size_t>(slot)];
}

std::string_view waitResultText(WaitResult result) {
    return result == WaitResult::AllEnded ? "所有对象处于激发状态\n"
                                          : "所有对象处于非激发状态，超时\n";
}

WorkerThreads::~WorkerThreads() {
    signalAll();
    for (auto& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

bool WorkerThreads::start(WorkerSlot slot, Body body) {
    const size_t i = index(slot);
    if (threads_[i].joinable()) {
        return false;
    }
    {
        std::lock_guard lock(shared_->mutex);
        shared_->ended[i] = false;
    }
    // Reset before the thread runs, so that a stop signalled at once is kept.
    shared_->stops[i].reset();
    threads_[i] = std::thread([shared = shared_, i, slot, body = std::move(body)] {
        setCurrentThreadName(workerThreadName(slot));
        body(shared->stops[i]);
        {
            std::lock_guard lock(shared->mutex);
            shared->ended[i] = true;
        }
        shared->changed.notify_all();
    });
    return true;
}

bool WorkerThreads::startIdle(WorkerSlot slot) {
    return start(slot, [slot](StopEvent& stop) {
        stop.wait();
        debugLog(workerExitText(slot));
    });
}

void WorkerThreads::signalAll() {
    for (auto& stop : shared_->stops) {
        stop.set();
    }
}

WaitResult WorkerThreads::waitAll(std::chrono::milliseconds bound) {
    std::unique_lock lock(shared_->mutex);
    const bool all = shared_->changed.wait_for(lock, bound, [this] {
        for (size_t i = 0; i < kWorkerSlots; ++i) {
            if (threads_[i].joinable() && !shared_->ended[i]) {
                return false;
            }
        }
        return true;
    });
    return all ? WaitResult::AllEnded : WaitResult::TimedOut;
}

void WorkerThreads::close() {
    for (size_t i = 0; i < kWorkerSlots; ++i) {
        if (!threads_[i].joinable()) {
            continue;
        }
        bool ended;
        {
            std::lock_guard lock(shared_->mutex);
            ended = shared_->ended[i];
        }
        if (ended) {
            threads_[i].join();
        } else {
            threads_[i].detach();
            ++abandoned_;
        }
    }
}

bool WorkerThreads::started(WorkerSlot slot) const {
    return threads_[index(slot)].joinable();
}

size_t WorkerThreads::running() const {
    std::lock_guard lock(shared_->mutex);
    size_t n = 0;
    for (size_t i = 0; i < kWorkerSlots; ++i) {
        n += threads_[i].joinable() && !shared_->ended[i] ? 1 : 0;
    }
    return n;
}

}  // namespace rxt::shell
