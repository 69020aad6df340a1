#include "device/device_link.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <span>
#include <string_view>
#include <thread>

#include "platform/debug_log.h"

namespace rxt {
namespace {

void logReport(std::string_view what, const uint8_t* bytes, size_t count) {
    debugLogHex(what, std::span<const uint8_t>(bytes, count));
}

// Stale reports cleared before one write; bounded so that a device flooding
// input reports cannot hold a command forever.
constexpr int kMaxStaleReports = 64;

constexpr auto kEndSessionPause = std::chrono::milliseconds(10);

int statusResult(const Report& reply) {
    switch (reply[7]) {
        case kStatusRefused:
            return kResultRefused;
        case kStatusRefusedOther:
            return kResultRefusedOther;
        default:
            return kResultDone;
    }
}

int bankBase(int bank, uint16_t* base) {
    if (bank < 0 || bank > kMaxBank) {
        return kResultBadBank;
    }
    *base = static_cast<uint16_t>(bank * kBankStride);
    return kResultDone;
}

}  // namespace

DeviceLink::DeviceLink(std::shared_ptr<HidBackend> backend) : device_(std::move(backend)) {}

DeviceLink::~DeviceLink() = default;

void DeviceLink::wakeStateWaiters() {
    std::lock_guard lock(waitersLock_);
    for (StopEvent* sleeper : stateWaiters_) {
        sleeper->wake();
    }
}

void DeviceLink::setConnected(bool on) {
    connected_.store(on);
    if (on) {
        wakeStateWaiters();
    }
}

void DeviceLink::setInLightSync(bool on) {
    inLightSync_.store(on);
    if (on) {
        wakeStateWaiters();
    }
}

void DeviceLink::addStateWaiter(StopEvent& sleeper) {
    std::lock_guard lock(waitersLock_);
    stateWaiters_.push_back(&sleeper);
}

void DeviceLink::removeStateWaiter(StopEvent& sleeper) {
    std::lock_guard lock(waitersLock_);
    std::erase(stateWaiters_, &sleeper);
}

void DeviceLink::setTargets(uint16_t vendor, uint16_t product, uint16_t usage, uint16_t usagePage) {
    targetVendor_.store(vendor);
    targetProduct_.store(product);
    targetUsage_.store(usage);
    targetUsagePage_.store(usagePage);
    connected_.store(false);
}

bool DeviceLink::setBlockSize(uint16_t n) {
    if (n == 0 || n > kMaxBlockSize) {
        return false;
    }
    blockSize_.store(n);
    return true;
}

void DeviceLink::discardStale() {
    Report scratch;
    for (int i = 0; i < kMaxStaleReports; ++i) {
        size_t count = 0;
        if (!device_.read(scratch.size(), scratch.data(), 0, &count)) {
            return;
        }
        logReport("DeviceLink stale", scratch.data(), std::min(count, scratch.size()));
    }
}

int DeviceLink::transact(const uint8_t* request, size_t requestLength, uint8_t* reply,
                         size_t replyLength, size_t* outCount) {
    if (outCount != nullptr) {
        *outCount = 0;
    }
    if (!connected()) {
        return kResultNoDevice;
    }
    Report out{};
    if (request != nullptr) {
        std::copy_n(request, std::min(requestLength, out.size()), out.begin());
    }
    // Without a caller buffer the reply still has to be taken off the queue.
    Report scratch;
    if (reply == nullptr || replyLength == 0) {
        reply = scratch.data();
        replyLength = scratch.size();
    }

    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        // Held across write and read so two threads' exchanges never interleave
        // and a detection pass never reopens the device between them.
        std::lock_guard guard(lock_);
        // Only an unanswered attempt can leave a late reply queued: drained
        // until an exchange after it is answered at its first attempt.
        if (staleReplies_) {
            discardStale();
        }
        logReport("DeviceLink out", out.data(), out.size());
        if (!device_.write(out.size(), out.data(), kWriteTimeoutMs)) {
            debugLog("DeviceLink write failed");
            return kResultWriteFailed;
        }
        std::memset(reply, 0, replyLength);
        size_t count = 0;
        if (device_.read(replyLength, reply, kReadTimeoutMs, &count)) {
            logReport("DeviceLink in", reply, std::min(count, replyLength));
            if (outCount != nullptr) {
                *outCount = count;
            }
            if (attempt == 1) {
                staleReplies_ = false;
            }
            return kResultDone;
        }
        staleReplies_ = true;
        debugLogf("DeviceLink no reply (attempt %d)", attempt);
    }
    return kResultNoDevice;
}

int DeviceLink::command(Command code, uint8_t length, uint16_t offset, const uint8_t* data,
                        Report& reply) {
    std::span<const uint8_t> payload;
    if (data != nullptr) {
        payload = std::span<const uint8_t>(data, length);
    }
    const Report request = buildCommandReport(static_cast<uint8_t>(code), length, offset, payload);
    const int result = transact(request.data(), request.size(), reply.data(), reply.size());
    if (result != kResultDone) {
        return result;
    }
    return statusResult(reply);
}

int DeviceLink::chunkedRead(Command code, uint16_t base, uint8_t* buffer, uint16_t total) {
    if (!connected()) {
        return kResultNoDevice;
    }
    Report reply;
    for (size_t position = 0; position < total; position += kMaxChunk) {
        const auto length = static_cast<uint8_t>(std::min(kMaxChunk, total - position));
        const int result =
            command(code, length, static_cast<uint16_t>(base + position), nullptr, reply);
        if (result != kResultDone) {
            return result;
        }
        std::copy_n(reply.begin() + kDataOffset, length, buffer + position);
    }
    return kResultDone;
}

int DeviceLink::chunkedWrite(Command code, uint16_t base, const uint8_t* data, uint16_t total) {
    if (!connected()) {
        return kResultNoDevice;
    }
    Report reply;
    for (size_t position = 0; position < total; position += kMaxChunk) {
        const auto length = static_cast<uint8_t>(std::min(kMaxChunk, total - position));
        const int result =
            command(code, length, static_cast<uint16_t>(base + position), data + position, reply);
        if (result != kResultDone) {
            return result;
        }
    }
    return kResultDone;
}

int DeviceLink::BeginSession() {
    Report reply;
    return command(Command::BeginSession, 0, 0, nullptr, reply);
}

int DeviceLink::EndSession() {
    if (!connected()) {
        return kResultNoDevice;
    }
    // The device needs a moment after the last transfer before it closes the session.
    std::this_thread::sleep_for(kEndSessionPause);
    Report reply;
    return command(Command::EndSession, 0, 0, nullptr, reply);
}

int DeviceLink::ReadInfo(uint8_t* info) {
    if (info == nullptr) {
        return kResultBadArgument;
    }
    Report reply;
    const int result = command(Command::ReadInfo, kInfoSize, 0, nullptr, reply);
    if (result == kResultDone) {
        std::copy_n(reply.begin() + kDataOffset, kInfoSize, info);
    }
    return result;
}

int DeviceLink::ReadRecord(uint8_t* buffer, uint8_t n, uint16_t offset) {
    if (n > kMaxChunk || (buffer == nullptr && n > 0)) {
        return kResultBadArgument;
    }
    Report reply;
    const int result = command(Command::ReadRecord, n, offset, nullptr, reply);
    if (result == kResultDone) {
        std::copy_n(reply.begin() + kDataOffset, n, buffer);
    }
    return result;
}

int DeviceLink::WriteRecord(const uint8_t* data, uint8_t n, uint16_t offset) {
    if (n > kMaxChunk || (data == nullptr && n > 0)) {
        return kResultBadArgument;
    }
    Report reply;
    return command(Command::WriteRecord, n, offset, data, reply);
}

int DeviceLink::ReadBlock(uint8_t* buffer) {
    if (buffer == nullptr) {
        return kResultBadArgument;
    }
    return chunkedRead(Command::ReadBlock, 0, buffer, blockSize());
}

int DeviceLink::ReadBank(uint8_t* buffer, int bank) {
    uint16_t base = 0;
    if (const int result = bankBase(bank, &base); result != kResultDone) {
        return result;
    }
    if (buffer == nullptr) {
        return kResultBadArgument;
    }
    return chunkedRead(Command::ReadBank, base, buffer, blockSize());
}

int DeviceLink::WriteBank(const uint8_t* data, uint16_t total, int bank) {
    uint16_t base = 0;
    if (const int result = bankBase(bank, &base); result != kResultDone) {
        return result;
    }
    if (data == nullptr && total > 0) {
        return kResultBadArgument;
    }
    return chunkedWrite(Command::WriteBank, base, data, total);
}

int DeviceLink::ResetDevice() {
    if (!connected()) {
        return kResultNoDevice;
    }
    const Report request = buildCommandReport(static_cast<uint8_t>(Command::ResetDevice), 0, 0);
    Report reply{};
    std::lock_guard guard(lock_);
    discardStale();
    logReport("DeviceLink out", request.data(), request.size());
    // One exchange, no retry: the answer alone decides, whatever the write gave.
    if (!device_.write(request.size(), request.data(), kWriteTimeoutMs)) {
        debugLog("DeviceLink write failed");
    }
    size_t count = 0;
    if (!device_.read(reply.size(), reply.data(), kReadTimeoutMs, &count)) {
        debugLog("DeviceLink no reply to ResetDevice");
        return kResultNoDevice;
    }
    logReport("DeviceLink in", reply.data(), std::min(count, reply.size()));
    return kResultDone;
}

int DeviceLink::StreamFrame(const uint8_t* data, uint16_t total) {
    if (data == nullptr && total > 0) {
        return kResultBadArgument;
    }
    return chunkedWrite(Command::StreamFrame, 0, data, total);
}

int DeviceLink::WriteMacroData(const uint8_t* data, uint16_t total) {
    if (data == nullptr && total > 0) {
        return kResultBadArgument;
    }
    return chunkedWrite(Command::WriteMacroData, 0, data, total);
}

int DeviceLink::WriteCursorData(const uint8_t* data, uint16_t total) {
    if (data == nullptr && total > 0) {
        return kResultBadArgument;
    }
    return chunkedWrite(Command::WriteCursorData, 0, data, total);
}

}  // namespace rxt
