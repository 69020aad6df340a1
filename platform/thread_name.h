#pragma once
// Names the calling thread for ps, top and debuggers (at most 15 bytes are
// kept by the kernel).

#include <string_view>

namespace rxt {

void setCurrentThreadName(std::string_view name);

}  // namespace rxt
