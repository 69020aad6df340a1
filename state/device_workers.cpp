#include "state/device_workers.h"

#include <pthread.h>
#include <time.h>

namespace rxt {

DeviceWorkers::DeviceWorkers(DiscoveryContext& context) : context_(context) {}

DeviceWorkers::~DeviceWorkers() {
    requestStop();
    for (auto& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void DeviceWorkers::start(bool watchBus) {
    {
        std::lock_guard lock(mutex_);
        if (started_ != 0) {
            return;
        }
        started_ = kWorkerCount;
    }
    for (auto& stop : stops_) {
        stop.reset();
    }
    if (watchBus) {
        watch_ = std::make_unique<HotplugWatch>(context_.links.backend(), context_.waker);
        watch_->start();
    }
    auto launch = [this](Worker worker, auto body, DeviceKind kind) {
        const size_t slot = static_cast<size_t>(worker);
        WorkerParam param{&context_, &stops_[slot]};
        threads_[slot] = std::thread([this, body, kind, param] {
            body(kind, param);
            finished();
        });
    };
    launch(Worker::KeyboardDetection, runDetection, DeviceKind::Keyboard);
    launch(Worker::MouseDetection, runDetection, DeviceKind::Mouse);
    launch(Worker::MousepadDetection, runDetection, DeviceKind::Mousepad);
    launch(Worker::MouseListener, runListener, DeviceKind::Mouse);
    launch(Worker::KeyboardListener, runListener, DeviceKind::Keyboard);
}

void DeviceWorkers::requestStop() {
    for (auto& stop : stops_) {
        stop.set();
    }
    context_.waker.wake();
    if (watch_) {
        watch_->stop();
    }
}

bool DeviceWorkers::join(std::chrono::milliseconds bound) {
    {
        std::unique_lock lock(mutex_);
        if (!ended_.wait_for(lock, bound, [this] { return ended_count_ == started_; })) {
            return false;
        }
    }
    for (auto& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
    return true;
}

size_t DeviceWorkers::running() const {
    std::lock_guard lock(mutex_);
    return started_ - ended_count_;
}

std::chrono::nanoseconds DeviceWorkers::cpuTime() {
    std::chrono::nanoseconds total{0};
    for (auto& thread : threads_) {
        clockid_t clock;
        timespec used{};
        if (thread.joinable() && pthread_getcpuclockid(thread.native_handle(), &clock) == 0 &&
            clock_gettime(clock, &used) == 0) {
            total += std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
        }
    }
    return total;
}

void DeviceWorkers::finished() {
    std::lock_guard lock(mutex_);
    ++ended_count_;
    ended_.notify_all();
}

}  // namespace rxt
