// Discovery against the simulated bus: how soon a plugged device gets its
// attach reaction, by polling alone and with the bus's change notifications,
// and how much CPU the five discovery and listener threads use.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "sim/virtual_bus.h"
#include "state/device_workers.h"
#include "support/recording_ui.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The profile catalogues read on arrival go to a scratch folder.
void useScratchHome() {
    static bool done = false;
    if (!done) {
        char pattern[] = "/tmp/rxt-bench-XXXXXX";
        if (const char* dir = ::mkdtemp(pattern)) {
            ::setenv("HOME", dir, 1);
            ::setenv("XDG_CONFIG_HOME", (std::string(dir) + "/.config").c_str(), 1);
        }
        done = true;
    }
}

struct Rig {
    rxt::sim::VirtualBus bus{{.plugAll = false, .makeDefault = false, .controlSocket = false}};
    rxt::DeviceLinks links{bus.backend()};
    rxt::DeviceImageSet images;
    rxt::test::RecordingUi ui;
    rxt::HotplugWaker waker;
    rxt::DiscoveryContext context{links, images, ui, waker, {}, {}};
    rxt::DeviceWorkers workers{context};
    Rig() { links.assignIdentities(); }
};

// Arg 0: polling only; 1: woken by the bus's change notifications.
void BM_PlugToAttachReaction(benchmark::State& state) {
    useScratchHome();
    const bool watch = state.range(0) != 0;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> phase(100, 1100);
    for (auto _ : state) {
        Rig rig;
        rig.workers.start(watch);
        // Plug at a random point of the 1 s sleep between passes.
        std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
        const auto plugged = Clock::now();
        rig.bus.simulator().plug(rxt::DeviceKind::Mouse);
        if (!rig.ui.waitFor("show ms_tab", 10s)) {
            state.SkipWithError("no attach reaction");
            break;
        }
        const std::chrono::duration<double> took = rig.ui.firstTime("show ms_tab") - plugged;
        state.SetIterationTime(took.count());
        rig.workers.stop(10s);
    }
}
BENCHMARK(BM_PlugToAttachReaction)
    ->ArgName("notifications")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(8)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Arg: devices plugged (0 or 3). Reports the CPU the five threads use,
// scaled to one minute, over a 10 s run with the change notifications on.
void BM_WorkerCpuPerMinute(benchmark::State& state) {
    useScratchHome();
    const bool devices = state.range(0) != 0;
    double perMinuteMs = 0;
    for (auto _ : state) {
        Rig rig;
        if (devices) {
            for (rxt::DeviceKind kind : rxt::kAllDeviceKinds) {
                rig.bus.simulator().plug(kind);
            }
        }
        rig.workers.start(true);
        std::this_thread::sleep_for(1s);  // arrivals are over
        const auto cpu0 = rig.workers.cpuTime();
        const auto t0 = Clock::now();
        std::this_thread::sleep_for(10s);
        const std::chrono::duration<double> cpu = rig.workers.cpuTime() - cpu0;
        const std::chrono::duration<double> wall = Clock::now() - t0;
        perMinuteMs = cpu.count() / wall.count() * 60.0 * 1000.0;
        state.SetIterationTime(wall.count());
        rig.workers.stop(10s);
    }
    state.counters["cpu_ms_per_min"] = perMinuteMs;
}
BENCHMARK(BM_WorkerCpuPerMinute)
    ->ArgName("devices")
    ->Arg(0)
    ->Arg(3)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
