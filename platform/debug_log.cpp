#include "platform/debug_log.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace rxt {
namespace detail {

std::atomic<int> debugLogState{-1};

namespace {

std::mutex& outputMutex() {
    static std::mutex m;
    return m;
}

void writeLine(std::string line) {
    if (line.empty() || line.back() != '\n') {
        line += '\n';
    }
    std::lock_guard lock(outputMutex());
    const char* data = line.data();
    size_t left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, data, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // nowhere to report a failing trace
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
}

}  // namespace

bool decideDebugLog() {
    const char* value = std::getenv("RXT_DEBUG");
    const int state = (value != nullptr && std::strcmp(value, "1") == 0) ? 1 : 0;
    int expected = -1;
    // A concurrent setDebugLogEnabled wins over the environment.
    debugLogState.compare_exchange_strong(expected, state, std::memory_order_relaxed);
    return debugLogState.load(std::memory_order_relaxed) == 1;
}

void writeDebugLine(std::string_view text) {
    writeLine(std::string(text));
}

void writeDebugHex(std::string_view prefix, std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line(prefix);
    line.reserve(prefix.size() + bytes.size() * 3 + 1);
    for (uint8_t b : bytes) {
        if (!line.empty()) {
            line += ' ';
        }
        line += kDigits[b >> 4];
        line += kDigits[b & 0x0F];
    }
    writeLine(std::move(line));
}

void writeDebugFormatted(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) {
        return;
    }
    std::string line(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(line.data(), line.size(), format, args);
    line.resize(static_cast<size_t>(needed));
    writeLine(std::move(line));
}

}  // namespace detail

void setDebugLogEnabled(bool enabled) {
    detail::debugLogState.store(enabled ? 1 : 0, std::memory_order_relaxed);
}

void debugLogf(const char* format, ...) {
    if (!debugLogEnabled()) {
        return;
    }
    va_list args;
    va_start(args, format);
    detail::writeDebugFormatted(format, args);
    va_end(args);
}

}  // namespace rxt
