#include "sim/request_log.h"

#include <cstdio>

#include "device/command_report.h"

namespace rxt::sim {

std::string formatLogEntry(const LogEntry& e) {
    char head[96];
    std::snprintf(head, sizeof head, "#%llu t=%.3f if=%u ", static_cast<unsigned long long>(e.seq),
                  e.timeMs, e.interfaceNumber);
    std::string out = head;
    if (e.command) {
        char fields[96];
        std::snprintf(fields, sizeof fields, "%s(%u) off=%u len=%u",
                      std::string(commandName(e.code)).c_str(), e.code, e.offset, e.length);
        out += fields;
    } else {
        char fields[64];
        std::snprintf(fields, sizeof fields, "report id=%u size=%zu", e.reportId, e.size);
        out += fields;
    }
    out += " -> ";
    out += e.outcome;
    return out;
}

uint64_t RequestLog::add(LogEntry e) {
    e.seq = next_++;
    entries_.push_back(std::move(e));
    while (entries_.size() > capacity_) {
        entries_.pop_front();
    }
    return entries_.back().seq;
}

std::vector<LogEntry> RequestLog::since(uint64_t from, size_t max) const {
    std::vector<LogEntry> out;
    if (entries_.empty() || max == 0) {
        return out;
    }
    const uint64_t first = entries_.front().seq;
    size_t start = from > first ? static_cast<size_t>(from - first) : 0;
    for (size_t i = start; i < entries_.size() && out.size() < max; ++i) {
        out.push_back(entries_[i]);
    }
    return out;
}

}  // namespace rxt::sim
