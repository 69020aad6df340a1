#pragma once
// The connection to one device: its identity, its connected and in-light-sync
// flags, and the command exchanges of the request/response protocol.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "device/command_report.h"
#include "device/hid_device.h"
#include "platform/stop_event.h"

namespace rxt {

// Results of every command operation.
inline constexpr int kResultDone = 1;
inline constexpr int kResultNoDevice = 0;  // not connected (nothing sent) or no reply
inline constexpr int kResultWriteFailed = -1;
inline constexpr int kResultRefused = -102;       // status 0xFF
inline constexpr int kResultRefusedOther = -103;  // status 0xFE
inline constexpr int kResultBadBank = -201;       // bank above 4 or negative (nothing sent)
// A length or buffer the single-report commands cannot carry (n > 56, no
// buffer): refused before sending rather than overrunning the report.
inline constexpr int kResultBadArgument = -202;

inline constexpr int kWriteTimeoutMs = 1000;
inline constexpr int kReadTimeoutMs = 300;
inline constexpr int kAttempts = 4;
inline constexpr uint16_t kMaxBlockSize = 512;
inline constexpr uint16_t kBankStride = 126;
inline constexpr int kMaxBank = 4;
inline constexpr size_t kInfoSize = 33;

class DeviceLink {
  public:
    explicit DeviceLink(std::shared_ptr<HidBackend> backend = nullptr);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Stores the identity the device must show and clears connected.
    void setTargets(uint16_t vendor, uint16_t product, uint16_t usage, uint16_t usagePage);
    uint16_t targetVendor() const { return targetVendor_.load(); }
    uint16_t targetProduct() const { return targetProduct_.load(); }
    uint16_t targetUsage() const { return targetUsage_.load(); }
    uint16_t targetUsagePage() const { return targetUsagePage_.load(); }

    // False (size kept) above 512, and for 0: a zero block would make
    // ReadBlock and ReadBank send nothing and still report success.
    bool setBlockSize(uint16_t n);
    uint16_t blockSize() const { return blockSize_.load(); }

    bool connected() const { return connected_.load(); }
    // A connection, and an entry into the light sync, wake the threads that
    // sleep until one of them comes (light threads with nothing to do).
    void setConnected(bool on);
    void addStateWaiter(StopEvent& sleeper);
    void removeStateWaiter(StopEvent& sleeper);
    bool inLightSync() const { return inLightSync_.load(); }
    void setInLightSync(bool on);

    HidDevice& device() { return device_; }
    std::recursive_mutex& transferLock() { return lock_; }

    // One exchange: 64-byte request out, one reply in, up to 4 attempts, the
    // transfer lock held across each attempt's write and read. After a read
    // timed out, input reports queued before the next write (late replies to
    // earlier attempts) are discarded.
    // 1 done, 0 not connected or no reply, -1 write failed. The reply buffer
    // is zeroed first, so a short reply reads as zeros past its end.
    int transact(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                 size_t* outCount = nullptr);

    int BeginSession();
    int EndSession();
    int ReadInfo(uint8_t* info);                                       // kInfoSize bytes
    int ReadRecord(uint8_t* buffer, uint8_t n, uint16_t offset);       // n <= 56
    int WriteRecord(const uint8_t* data, uint8_t n, uint16_t offset);  // n <= 56
    int ReadBlock(uint8_t* buffer);                                    // blockSize() bytes
    int ReadBank(uint8_t* buffer, int bank);                           // blockSize() bytes
    int WriteBank(const uint8_t* data, uint16_t total, int bank);
    int ResetDevice();
    int StreamFrame(const uint8_t* data, uint16_t total);
    int WriteMacroData(const uint8_t* data, uint16_t total);
    int WriteCursorData(const uint8_t* data, uint16_t total);

  private:
    void wakeStateWaiters();
    void discardStale();
    int command(Command code, uint8_t length, uint16_t offset, const uint8_t* data, Report& reply);
    int chunkedRead(Command code, uint16_t base, uint8_t* buffer, uint16_t total);
    int chunkedWrite(Command code, uint16_t base, const uint8_t* data, uint16_t total);

    std::atomic<uint16_t> blockSize_{kMaxBlockSize};
    std::atomic<uint16_t> targetVendor_{0};
    std::atomic<uint16_t> targetProduct_{0};
    std::atomic<uint16_t> targetUsage_{0};
    std::atomic<uint16_t> targetUsagePage_{0};
    std::atomic<bool> connected_{false};
    std::atomic<bool> inLightSync_{false};
    std::mutex waitersLock_;
    std::vector<StopEvent*> stateWaiters_;
    HidDevice device_;
    std::recursive_mutex lock_;
    // A read timed out since the last drain (guarded by lock_); the first
    // exchange drains too.
    bool staleReplies_ = true;
};

}  // namespace rxt
