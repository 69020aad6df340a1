#pragma once
// The program's trace of internal events: fixed texts, one line each, written
// to standard error when the environment has RXT_DEBUG=1 and dropped
// otherwise. Safe from any thread; lines never interleave. When off, a call
// costs one relaxed atomic load.

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <span>
#include <string_view>

namespace rxt {

namespace detail {
// -1: not yet decided from the environment, 0: off, 1: on.
extern std::atomic<int> debugLogState;
bool decideDebugLog();
void writeDebugLine(std::string_view text);
void writeDebugHex(std::string_view prefix, std::span<const uint8_t> bytes);
void writeDebugFormatted(const char* format, va_list args);
}  // namespace detail

inline bool debugLogEnabled() {
    const int state = detail::debugLogState.load(std::memory_order_relaxed);
    return state < 0 ? detail::decideDebugLog() : state == 1;
}

// Turns the log on or off regardless of the environment (tests, command-line
// switches).
void setDebugLogEnabled(bool enabled);

// Writes the text and a line break (none is added when the text ends in one).
inline void debugLog(std::string_view text) {
    if (debugLogEnabled()) {
        detail::writeDebugLine(text);
    }
}

// printf-style, for the texts that carry a number.
void debugLogf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "prefix 01 02 FF ..." on one line: reports as they go to and from a device.
inline void debugLogHex(std::string_view prefix, std::span<const uint8_t> bytes) {
    if (debugLogEnabled()) {
        detail::writeDebugHex(prefix, bytes);
    }
}

}  // namespace rxt
