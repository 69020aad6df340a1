#pragma once
// A device that speaks the command protocol on the device side of a socket
// pair, on its own thread: it records every request and answers from a
// memory of its own, or as a test scripts it (drop, refuse, raw bytes, hang
// up, answer late).

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "device/command_report.h"

namespace rxt::test {

struct ReceivedRequest {
    rxt::Report report{};  // as received, zero-padded to 64 bytes
    size_t size = 0;       // bytes actually received
    uint8_t reportId = 0;
    uint8_t code = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
    uint16_t checksum = 0;
    bool checksumOk = false;
    std::vector<uint8_t> data;  // min(length, 56) bytes from byte 8
    std::chrono::steady_clock::time_point at;
};

struct FakeReply {
    enum class Kind {
        Serve,   // answer from memory (reads) or store and echo (writes), status 0
        Drop,    // no answer
        Status,  // as Serve, with this status byte and writes not stored
        Raw,     // send these bytes as they are
        Close,   // hang up: close the device side
    };
    Kind kind = Kind::Serve;
    uint8_t status = 0;
    std::vector<uint8_t> bytes;
    std::chrono::milliseconds delay{0};  // before acting

    static FakeReply serve() { return {}; }
    static FakeReply drop() { return {Kind::Drop, 0, {}, {}}; }
    static FakeReply withStatus(uint8_t status) { return {Kind::Status, status, {}, {}}; }
    static FakeReply raw(std::vector<uint8_t> bytes) {
        return {Kind::Raw, 0, std::move(bytes), {}};
    }
    static FakeReply close() { return {Kind::Close, 0, {}, {}}; }
    FakeReply after(std::chrono::milliseconds wait) const {
        FakeReply r = *this;
        r.delay = wait;
        return r;
    }
};

class FakeCommandDevice {
  public:
    // Every address space is this large, so that any 16-bit offset plus one
    // chunk stays inside.
    static constexpr size_t kSpaceSize = 0x10000 + rxt::kMaxChunk;

    FakeCommandDevice();
    ~FakeCommandDevice();
    FakeCommandDevice(const FakeCommandDevice&) = delete;
    FakeCommandDevice& operator=(const FakeCommandDevice&) = delete;

    // Serves fd from now on, taking ownership; a previous one is closed.
    // Returns once the device thread has taken it. Safe from any thread (a
    // FakeHidBackend's onOpen hook).
    void attach(int fd);
    // Closes the device side; returns once it is closed.
    void hangUp();

    // Replies for the next requests in arrival order; the default after them.
    void script(std::initializer_list<FakeReply> replies);
    void push(FakeReply reply);
    void setDefault(FakeReply reply);

    // Sends a report nobody asked for (a late reply); false when no fd.
    bool sendUnsolicited(std::span<const uint8_t> bytes);

    std::vector<ReceivedRequest> requests() const;
    size_t requestCount() const;
    void clearRequests();
    // Waits until n requests have been acted on (answered, dropped ...).
    bool waitHandled(size_t n, std::chrono::milliseconds timeout) const;

    // Memory of one command family: info (3), records (5, 6), block (7),
    // banks (8, 9), frames (18), macros (21), cursor data (23). Any other
    // code has none (its replies carry no data).
    std::vector<uint8_t> memory(uint8_t code, size_t offset, size_t n) const;
    void setMemory(uint8_t code, size_t offset, std::span<const uint8_t> bytes);
    // Byte i of every space = patternByte(code, i), so a reply shows where it
    // was read from.
    void fillPattern();
    static uint8_t patternByte(uint8_t code, size_t offset);

  private:
    void run();
    void applyControl(std::unique_lock<std::mutex>& lock);
    void handle(int fd, const uint8_t* bytes, size_t size);
    bool sendLocked(int fd, std::span<const uint8_t> bytes);
    std::vector<uint8_t>* spaceOf(uint8_t code);
    void wake();

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    int fd_ = -1;
    int pendingFd_ = -1;
    bool attachPending_ = false;
    bool hangUpPending_ = false;
    bool stop_ = false;
    int wakeFd_ = -1;
    std::deque<FakeReply> script_;
    FakeReply default_;
    std::vector<ReceivedRequest> requests_;
    size_t handled_ = 0;
    std::vector<std::vector<uint8_t>> spaces_;
    std::thread thread_;
};

}  // namespace rxt::test
