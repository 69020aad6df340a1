#pragma once
// The keyboard's custom per-key colour layouts: five layouts the user paints
// key by key and the index of the one in use. They live for the whole run,
// travel in the keyboard lighting and device profiles, and are read by the
// keyboard light thread once a frame. Full-colour keyboard: 126 entries of
// (red, green, blue), entry p at 3 p; single-colour keyboard: 126 bytes
// (0 off, 255 on) at the start. Entry p is the key map's position of a key.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <span>

#include "lighting/keyboard_tables.h"
#include "state/byte_image.h"

namespace rxt {

struct KeyboardCustomLayouts {
    static constexpr size_t kCount = 5;
    static constexpr size_t kLayoutSize = lighting::kFullColourFrameBytes;  // 378

    // 0..4; the loaders keep it in range.
    std::atomic<int> index{0};
    // Layout L at kLayoutSize x L.
    ByteImage<kCount * kLayoutSize> layouts;

    // The layout in use; an index out of range counts as 0.
    size_t current() const {
        const int i = index.load();
        return i >= 0 && static_cast<size_t>(i) < kCount ? static_cast<size_t>(i) : 0;
    }
    void copyCurrent(std::span<uint8_t> out) const {
        layouts.copyOut(current() * kLayoutSize, out.first(std::min(out.size(), kLayoutSize)));
    }
    uint8_t get(size_t offset) const { return layouts.get(current() * kLayoutSize + offset); }
    void set(size_t offset, uint8_t v) {
        if (offset < kLayoutSize) {
            layouts.set(current() * kLayoutSize + offset, v);
        }
    }
};

// The process-wide layouts, zero at start.
KeyboardCustomLayouts& keyboardCustomLayouts();

}  // namespace rxt
