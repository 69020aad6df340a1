#include "support/test_descriptors.h"

namespace rxt::test {
namespace {

const std::vector<uint8_t> kConfigCollection = {
    0x06, 0x1C, 0xFF,  // usage page 0xFF1C
    0x09, 0x92,        // usage 0x92
    0xA1, 0x01,        // collection (application)
    0x85, 0x04,        //   report id 4
    0x15, 0x00,        //   logical minimum 0
    0x26, 0xFF, 0x00,  //   logical maximum 255
    0x75, 0x08,        //   report size 8
    0x95, 0x3F,        //   report count 63
    0x09, 0x01,        //   usage 1
    0x81, 0x02,        //   input (data, variable, absolute)
    0x09, 0x02,        //   usage 2
    0x91, 0x02,        //   output (data, variable, absolute)
    0xC0,              // end collection
};

const std::vector<uint8_t> kConsumerCollection = {
    0x05, 0x0C,        // usage page (consumer)
    0x09, 0x01,        // usage (consumer control)
    0xA1, 0x01,        // collection (application)
    0x85, 0x03,        //   report id 3
    0x15, 0x00,        //   logical minimum 0
    0x26, 0xFF, 0x0F,  //   logical maximum 0x0FFF
    0x19, 0x00,        //   usage minimum 0
    0x2A, 0xFF, 0x0F,  //   usage maximum 0x0FFF
    0x75, 0x10,        //   report size 16
    0x95, 0x01,        //   report count 1
    0x81, 0x00,        //   input (data, array, absolute)
    0xC0,              // end collection
};

}  // namespace

std::vector<uint8_t> configInterfaceDescriptor() {
    return kConfigCollection;
}

std::vector<uint8_t> consumerDescriptor() {
    return kConsumerCollection;
}

std::vector<uint8_t> configAndConsumerDescriptor() {
    std::vector<uint8_t> d = kConfigCollection;
    d.insert(d.end(), kConsumerCollection.begin(), kConsumerCollection.end());
    return d;
}

rxt::HidNodeInfo configNode(std::string path, uint16_t vendor, uint16_t product,
                            uint32_t interfaceNumber) {
    rxt::HidNodeInfo node;
    node.path = std::move(path);
    node.vendor = vendor;
    node.product = product;
    node.interfaceNumber = interfaceNumber;
    node.descriptor = configInterfaceDescriptor();
    return node;
}

}  // namespace rxt::test
