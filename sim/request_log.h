#pragma once
// The record of every report a virtual device received, for inspection by
// tests and scripts. Bounded: the oldest entries give way, sequence numbers
// keep counting.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace rxt::sim {

struct LogEntry {
    uint64_t seq = 0;
    double timeMs = 0;  // since the simulator started
    uint32_t interfaceNumber = 0;
    size_t size = 0;  // bytes of the report as received
    uint8_t reportId = 0;
    uint8_t code = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
    bool command = false;  // a report of the configuration collection
    std::string outcome;   // "00", "ff bad checksum", "dropped" ...
};

// One line of text, e.g. "#12 t=1532.104 if=1 ReadInfo(3) off=0 len=33 -> 00".
std::string formatLogEntry(const LogEntry& e);

class RequestLog {
  public:
    explicit RequestLog(size_t capacity = 65536) : capacity_(capacity) {}

    // Stores the entry with the next sequence number and returns that number.
    uint64_t add(LogEntry e);
    // Entries with seq >= from, oldest first, at most max of them.
    std::vector<LogEntry> since(uint64_t from, size_t max) const;
    uint64_t nextSeq() const { return next_; }
    void clear() { entries_.clear(); }

  private:
    size_t capacity_;
    std::deque<LogEntry> entries_;
    uint64_t next_ = 0;
};

}  // namespace rxt::sim
