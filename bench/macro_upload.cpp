// The macro upload's host costs: building the largest block the mouse can
// hold (255 units of 128 bytes, 50 macros) from steps in memory, and one
// whole upload of that block and the bank through the real transport to a
// fake device that answers at once, reported per report sent.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "macro/macro_block.h"
#include "macro/macro_upload.h"
#include "platform/ini_file.h"
#include "support/fake_link_rig.h"

namespace {

constexpr int kMacros = 50;
constexpr size_t kCapacity = 255 * 128;
// Steps per macro so that 16 + 50 x 6 + 4 x steps stays within the capacity.
constexpr size_t kStepsPerMacro = (kCapacity - 16 - kMacros * 6) / 4 / kMacros;

std::vector<std::vector<rxt::MacroAction>> largestMacros() {
    std::vector<std::vector<rxt::MacroAction>> macros(kMacros);
    for (auto& m : macros) {
        for (size_t i = 0; i < kStepsPerMacro; ++i) {
            m.push_back({static_cast<uint16_t>(i * 7), static_cast<uint8_t>(0x8A - (i & 1) * 0x80),
                         0x04, 1, "keyboard_key_A"});
        }
    }
    return macros;
}

void BM_BuildLargestMouseBlock(benchmark::State& state) {
    const auto macros = largestMacros();
    size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> block = rxt::encodeMacroBlock(macros);
        bytes = block.size();
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["block_bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_BuildLargestMouseBlock);

// The whole UploadMacros (files read, block built, reports exchanged).
void BM_UploadLargestMouseBlock(benchmark::State& state) {
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("rxt-bench-upload-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    ::setenv("HOME", home.c_str(), 1);
    const rxt::MacroCatalogue mouse(rxt::DeviceKind::Mouse);
    const auto macros = largestMacros();
    rxt::iniWrite(mouse.path(), "MACROCOUNT", "count", std::to_string(kMacros));
    for (int i = 0; i < kMacros; ++i) {
        const std::string name = "m" + std::to_string(i);
        rxt::iniWrite(mouse.path(), "MACRONAME", std::to_string(i), name);
        std::vector<rxt::IniEdit> edits;
        std::vector<std::string> keys, records;
        for (size_t s = 0; s < macros[0].size(); ++s) {
            keys.push_back(std::to_string(s));
            records.push_back(rxt::FormatActionRecord(macros[0][s]));
        }
        const std::string count = std::to_string(macros[0].size());
        edits.push_back({"MACROACTIONCOUNT", "count", count});
        for (size_t s = 0; s < keys.size(); ++s) {
            edits.push_back({"MACROACTION", keys[s], records[s]});
        }
        rxt::iniApply(*mouse.macroFile(name), edits);
    }
    rxt::test::FakeLinkRig rig(rxt::DeviceKind::Mouse);
    rig.connect();
    const std::vector<uint8_t> bank(126, 0x10);
    size_t reports = 0;
    for (auto _ : state) {
        rig.device.clearRequests();
        const rxt::UploadResult r = rxt::UploadMacros(*rig.link, mouse, 255, 0, bank);
        if (!r.done()) {
            state.SkipWithError("upload failed");
            break;
        }
        reports = rig.device.requestCount();
    }
    state.counters["reports"] = static_cast<double>(reports);
    state.counters["per_report"] =
        benchmark::Counter(static_cast<double>(state.iterations() * reports),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::filesystem::remove_all(home);
}
BENCHMARK(BM_UploadLargestMouseBlock)->Unit(benchmark::kMillisecond);

}  // namespace
