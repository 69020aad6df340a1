// The host's own cost of command exchanges through the real transport,
// against a device on a socket pair that answers at once. Wall time includes
// waking the responder thread; the CPU column is the calling thread alone.

#include <benchmark/benchmark.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/command_report.h"
#include "device/device_link.h"

namespace {

// Vendor page 0xFF1C usage 0x92, report id 4, 63-byte input and output.
const std::vector<uint8_t> kConfigDescriptor = {
    0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x15, 0x00, 0x26, 0xFF, 0x00,
    0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xC0,
};

const std::string kPath = "bench/config";

// Reads each request and answers it straight away from a 64 KiB memory.
class InstantDevice {
  public:
    explicit InstantDevice(int fd) : fd_(fd), memory_(0x10000 + rxt::kMaxChunk, 0x5A) {
        thread_ = std::thread([this] { run(); });
    }
    ~InstantDevice() {
        ::shutdown(fd_, SHUT_RDWR);
        thread_.join();
        ::close(fd_);
    }

  private:
    void run() {
        rxt::Report request;
        for (;;) {
            const ssize_t got = ::recv(fd_, request.data(), request.size(), 0);
            if (got <= 0) {
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                return;
            }
            const rxt::CommandRequest q = rxt::decodeCommandReport(request);
            const size_t n = std::min<size_t>(q.length, rxt::kMaxChunk);
            std::span<const uint8_t> data = q.data;
            if (q.code == 3 || q.code == 5 || q.code == 7 || q.code == 8) {
                data = std::span<const uint8_t>(memory_.data() + q.offset, n);
            }
            const rxt::Report reply = rxt::buildReply(q.code, q.length, q.offset, 0, data);
            if (::send(fd_, reply.data(), reply.size(), MSG_NOSIGNAL) < 0) {
                return;
            }
        }
    }

    int fd_;
    std::vector<uint8_t> memory_;
    std::thread thread_;
};

class BenchBackend : public rxt::HidBackend {
  public:
    bool enumerate(std::vector<rxt::HidNodeInfo>& nodes) override {
        rxt::HidNodeInfo node;
        node.path = kPath;
        node.vendor = 0x320F;
        node.product = 0x2002;
        node.interfaceNumber = 1;
        node.descriptor = kConfigDescriptor;
        nodes.assign(1, node);
        return true;
    }
    int openNode(const std::string& path, bool, bool, bool) override {
        int pair[2];
        if (path != kPath || ::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
            errno = ENOENT;
            return -1;
        }
        device_ = std::make_unique<InstantDevice>(pair[1]);
        return pair[0];
    }
    bool present(const std::string& path) override { return path == kPath; }
    int openWatch() override { return -1; }
    void drainWatch(int) override {}
    std::string describe() const override { return "bench"; }

    // Stops the responder; the link must be closed first.
    void release() { device_.reset(); }

  private:
    std::unique_ptr<InstantDevice> device_;
};

struct Rig {
    std::shared_ptr<BenchBackend> backend = std::make_shared<BenchBackend>();
    std::unique_ptr<rxt::DeviceLink> link = std::make_unique<rxt::DeviceLink>(backend);

    bool connect() {
        if (!link->device().open(kPath, true, true, true, false)) {
            return false;
        }
        link->setConnected(true);
        return true;
    }
    ~Rig() {
        link.reset();
        backend->release();
    }
};

void BM_WriteRecord21(benchmark::State& state) {
    Rig rig;
    if (!rig.connect()) {
        state.SkipWithError("cannot open the bench device");
        return;
    }
    std::array<uint8_t, 21> record{};
    for (auto _ : state) {
        record[0]++;
        if (rig.link->WriteRecord(record.data(), record.size(), 0) != rxt::kResultDone) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());  // items = exchanges
}
BENCHMARK(BM_WriteRecord21)->UseRealTime();

void BM_ReadBlock512(benchmark::State& state) {
    Rig rig;
    if (!rig.connect()) {
        state.SkipWithError("cannot open the bench device");
        return;
    }
    std::vector<uint8_t> block(512);
    for (auto _ : state) {
        if (rig.link->ReadBlock(block.data()) != rxt::kResultDone) {
            state.SkipWithError("exchange failed");
            break;
        }
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * 10);  // ten exchanges per block
    state.SetBytesProcessed(state.iterations() * 512);
}
BENCHMARK(BM_ReadBlock512)->UseRealTime();

// One mousepad light frame: a single 45-byte StreamFrame report.
void BM_StreamFrame45(benchmark::State& state) {
    Rig rig;
    if (!rig.connect()) {
        state.SkipWithError("cannot open the bench device");
        return;
    }
    std::array<uint8_t, 45> frame{};
    for (auto _ : state) {
        frame[0]++;
        if (rig.link->StreamFrame(frame.data(), frame.size()) != rxt::kResultDone) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StreamFrame45)->UseRealTime();

// The request framing alone, for comparison with the whole exchange.
void BM_BuildRequest(benchmark::State& state) {
    std::array<uint8_t, 56> data{};
    for (auto _ : state) {
        data[0]++;
        benchmark::DoNotOptimize(rxt::buildCommandReport(9, 56, 126, data));
    }
}
BENCHMARK(BM_BuildRequest);

}  // namespace
