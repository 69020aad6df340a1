#pragma once
// The keyboard's custom per-key colour layouts: five layouts the user paints
// key by key and the index of the one in use. They live beside the device
// images for the whole run and travel in the keyboard lighting and device
// profiles. Full-colour keyboard: 126 keys x (red, green, blue), key k at
// 3 k; single-colour keyboard: 126 bytes (0 off, 255 on) at the start.

#include <atomic>
#include <cstddef>

#include "profile/profile_payload.h"
#include "state/byte_image.h"

namespace rxt {

struct KeyboardCustomLayouts {
    static constexpr size_t kCount = payload::kLayoutCount;
    static constexpr size_t kLayoutSize = payload::kLayoutBytes;

    // 0..4; the loaders keep it in range.
    std::atomic<int> index{0};
    // Layout L at kLayoutSize x L.
    ByteImage<kCount * kLayoutSize> layouts;
};

// The process-wide layouts, zero at start.
KeyboardCustomLayouts& keyboardCustomLayouts();

}  // namespace rxt
