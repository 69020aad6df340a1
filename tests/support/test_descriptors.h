#pragma once
// Report descriptors and nodes shaped like the devices' own interfaces, for
// tests of everything above the transport.

#include <cstdint>
#include <string>
#include <vector>

#include "device/hid_backend.h"

namespace rxt::test {

inline constexpr uint8_t kConfigReportId = 4;
inline constexpr uint8_t kConsumerReportId = 3;

// The configuration interface: vendor page 0xFF1C, usage 0x0092, report id 4,
// 63-byte input and output reports (lengths 64 with the id).
std::vector<uint8_t> configInterfaceDescriptor();

// Two top-level collections on one node: the configuration collection above
// (report id 4), then a consumer-control collection (page 0x0C usage 0x01,
// report id 3, one 16-bit array slot over consumer usages 0..0x0FFF).
std::vector<uint8_t> configAndConsumerDescriptor();

// The consumer-control collection alone (report id 3).
std::vector<uint8_t> consumerDescriptor();

// A node carrying the configuration interface.
rxt::HidNodeInfo configNode(std::string path, uint16_t vendor, uint16_t product,
                            uint32_t interfaceNumber = 1);

}  // namespace rxt::test
