// Parsing a keyboard node's report descriptor (keyboard, consumer control,
// system control and the configuration collection), and decoding one
// notification report of its consumer collection.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "device/hid_descriptor.h"

namespace {

const std::vector<uint8_t> kNode = {
    // Keyboard, id 1: modifiers, reserved byte, LEDs, six-key array.
    0x05,
    0x01,
    0x09,
    0x06,
    0xA1,
    0x01,
    0x85,
    0x01,
    0x05,
    0x07,
    0x19,
    0xE0,
    0x29,
    0xE7,
    0x15,
    0x00,
    0x25,
    0x01,
    0x75,
    0x01,
    0x95,
    0x08,
    0x81,
    0x02,
    0x95,
    0x01,
    0x75,
    0x08,
    0x81,
    0x01,
    0x95,
    0x05,
    0x75,
    0x01,
    0x05,
    0x08,
    0x19,
    0x01,
    0x29,
    0x05,
    0x91,
    0x02,
    0x95,
    0x01,
    0x75,
    0x03,
    0x91,
    0x01,
    0x95,
    0x06,
    0x75,
    0x08,
    0x15,
    0x00,
    0x25,
    0xFF,
    0x05,
    0x07,
    0x19,
    0x00,
    0x29,
    0xFF,
    0x81,
    0x00,
    0xC0,
    // Consumer control, id 2: one 16-bit selector.
    0x05,
    0x0C,
    0x09,
    0x01,
    0xA1,
    0x01,
    0x85,
    0x02,
    0x15,
    0x00,
    0x26,
    0xFF,
    0x07,
    0x19,
    0x00,
    0x2A,
    0xFF,
    0x07,
    0x75,
    0x10,
    0x95,
    0x01,
    0x81,
    0x00,
    0xC0,
    // System control, id 3.
    0x05,
    0x01,
    0x09,
    0x80,
    0xA1,
    0x01,
    0x85,
    0x03,
    0x19,
    0x81,
    0x29,
    0x83,
    0x15,
    0x01,
    0x25,
    0x03,
    0x75,
    0x02,
    0x95,
    0x01,
    0x81,
    0x00,
    0x75,
    0x06,
    0x81,
    0x03,
    0xC0,
    // N-key bitmap, id 6, 120 keys.
    0x05,
    0x01,
    0x09,
    0x06,
    0xA1,
    0x01,
    0x85,
    0x06,
    0x05,
    0x07,
    0x19,
    0x04,
    0x29,
    0x7B,
    0x15,
    0x00,
    0x25,
    0x01,
    0x75,
    0x01,
    0x95,
    0x78,
    0x81,
    0x02,
    0xC0,
    // Configuration collection, id 4: 63 bytes each way.
    0x06,
    0x1C,
    0xFF,
    0x09,
    0x92,
    0xA1,
    0x01,
    0x85,
    0x04,
    0x15,
    0x00,
    0x26,
    0xFF,
    0x00,
    0x75,
    0x08,
    0x95,
    0x3F,
    0x09,
    0x01,
    0x81,
    0x02,
    0x95,
    0x3F,
    0x09,
    0x01,
    0x91,
    0x02,
    0xC0,
};

void BM_ParseKeyboardNode(benchmark::State& state) {
    for (auto _ : state) {
        rxt::HidDescriptorInfo info;
        benchmark::DoNotOptimize(rxt::parseReportDescriptor(kNode, info));
        benchmark::DoNotOptimize(info);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kNode.size()));
}
BENCHMARK(BM_ParseKeyboardNode);

void BM_UnpackNotification(benchmark::State& state) {
    rxt::HidDescriptorInfo info;
    if (!rxt::parseReportDescriptor(kNode, info)) {
        state.SkipWithError("descriptor refused");
        return;
    }
    const rxt::HidCollectionInfo& consumer = info.collections.at(1);
    std::vector<rxt::HidDataItem> items = rxt::makeDataItems(consumer, rxt::HidReportType::Input);
    const std::vector<uint8_t> report = {0x02, 0x01, 0x04};
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            rxt::unpackReport(consumer, rxt::HidReportType::Input, report, items));
    }
}
BENCHMARK(BM_UnpackNotification);

void BM_UnpackBitmapKeyboard(benchmark::State& state) {
    rxt::HidDescriptorInfo info;
    if (!rxt::parseReportDescriptor(kNode, info)) {
        state.SkipWithError("descriptor refused");
        return;
    }
    const rxt::HidCollectionInfo& bitmap = info.collections.at(3);
    std::vector<rxt::HidDataItem> items = rxt::makeDataItems(bitmap, rxt::HidReportType::Input);
    std::vector<uint8_t> report(bitmap.of(rxt::HidReportType::Input).length, 0);
    report[0] = 6;
    report[1] = 0x11;
    report[9] = 0x80;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            rxt::unpackReport(bitmap, rxt::HidReportType::Input, report, items));
    }
}
BENCHMARK(BM_UnpackBitmapKeyboard);

}  // namespace
