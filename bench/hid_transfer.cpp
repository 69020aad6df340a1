// Cost of one report each way through HidDevice on a socket-pair node (the
// same path a simulated-bus connection takes), without any device delay.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "device/hid_device.h"

namespace {

const std::vector<uint8_t> kDescriptor = {
    0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x15, 0x00, 0x26, 0xFF, 0x00,
    0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xC0,
};

// One node; each open keeps the device side for the benchmark to play.
class PairBackend : public rxt::HidBackend {
  public:
    ~PairBackend() override {
        if (deviceFd >= 0) {
            ::close(deviceFd);
        }
    }
    bool enumerate(std::vector<rxt::HidNodeInfo>& nodes) override {
        rxt::HidNodeInfo node;
        node.path = "bench0";
        node.descriptor = kDescriptor;
        nodes = {node};
        return true;
    }
    int openNode(const std::string&, bool, bool, bool) override {
        int pair[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
            return -1;
        }
        if (deviceFd >= 0) {
            ::close(deviceFd);
        }
        deviceFd = pair[1];
        return pair[0];
    }
    bool present(const std::string&) override { return true; }
    int openWatch() override { return -1; }
    void drainWatch(int) override {}
    std::string describe() const override { return "bench"; }

    int deviceFd = -1;
};

void BM_WriteThenRead(benchmark::State& state) {
    auto backend = std::make_shared<PairBackend>();
    rxt::HidDevice device(backend);
    if (!device.open("bench0", true, true, true, false)) {
        state.SkipWithError("open failed");
        return;
    }
    uint8_t request[64] = {4};
    uint8_t reply[64];
    uint8_t scratch[64];
    for (auto _ : state) {
        device.write(sizeof request, request, 1000);
        ::recv(backend->deviceFd, scratch, sizeof scratch, 0);
        ::send(backend->deviceFd, scratch, sizeof scratch, 0);
        benchmark::DoNotOptimize(device.read(sizeof reply, reply, 300));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteThenRead);

void BM_EnumerateAndOpen(benchmark::State& state) {
    auto backend = std::make_shared<PairBackend>();
    rxt::HidDevice device(backend);
    for (auto _ : state) {
        device.enumerate();
        benchmark::DoNotOptimize(device.open("bench0", true, true, true, false));
    }
}
BENCHMARK(BM_EnumerateAndOpen);

}  // namespace
