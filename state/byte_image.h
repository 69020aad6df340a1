#pragma once
// A fixed run of bytes addressed by offset that several threads may read and
// write at once: the UI thread edits the images while the light threads read
// the lighting bytes and the keyboard discovery thread loads a profile into
// them. Each byte is an atomic of its own, so single-byte reads and writes
// (the only ones the light threads make) are whole; bulk copies are not one
// transaction, as the device images never needed that.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace rxt {

template <size_t N>
class ByteImage {
  public:
    static constexpr size_t kSize = N;

    ByteImage() = default;
    ByteImage(const ByteImage&) = delete;
    ByteImage& operator=(const ByteImage&) = delete;

    static constexpr size_t size() { return N; }

    // Out of range reads give 0 and writes are dropped, so that a bad offset
    // from a file or a device can never reach outside the image.
    uint8_t get(size_t offset) const {
        return offset < N ? bytes_[offset].load(std::memory_order_relaxed) : 0;
    }
    void set(size_t offset, uint8_t value) {
        if (offset < N) {
            bytes_[offset].store(value, std::memory_order_relaxed);
        }
    }

    // Copies min(out.size(), N - offset) bytes from offset into out; returns
    // the count. Bytes of out past the image are left as they were.
    size_t copyOut(size_t offset, std::span<uint8_t> out) const {
        const size_t n = clipped(offset, out.size());
        for (size_t i = 0; i < n; ++i) {
            out[i] = bytes_[offset + i].load(std::memory_order_relaxed);
        }
        return n;
    }

    // Copies min(in.size(), N - offset) bytes of in to offset; returns the count.
    size_t copyIn(size_t offset, std::span<const uint8_t> in) {
        const size_t n = clipped(offset, in.size());
        for (size_t i = 0; i < n; ++i) {
            bytes_[offset + i].store(in[i], std::memory_order_relaxed);
        }
        return n;
    }

    std::array<uint8_t, N> snapshot() const {
        std::array<uint8_t, N> out{};
        copyOut(0, out);
        return out;
    }

    void fill(uint8_t value) {
        for (auto& b : bytes_) {
            b.store(value, std::memory_order_relaxed);
        }
    }

  private:
    static constexpr size_t clipped(size_t offset, size_t count) {
        return offset >= N ? 0 : std::min(count, N - offset);
    }

    std::array<std::atomic<uint8_t>, N> bytes_{};
};

}  // namespace rxt
