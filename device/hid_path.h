#pragma once
// Identifiers carried in Windows-style interface paths, such as
// "\\?\hid#vid_0c45&pid_6553&mi_01&col02#...". Markers are matched without
// regard to case; an absent marker gives 0.

#include <cstdint>
#include <string_view>

namespace rxt {

uint16_t vendorFromPath(std::string_view path);      // hex after "vid_"
uint16_t productFromPath(std::string_view path);     // hex after "pid_"
uint32_t interfaceFromPath(std::string_view path);   // hex after "&mi_"
uint32_t collectionFromPath(std::string_view path);  // hex after "&col"

}  // namespace rxt
