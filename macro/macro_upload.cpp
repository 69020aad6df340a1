#include "macro/macro_upload.h"

#include <functional>
#include <new>
#include <vector>

#include "macro/cursor_schemes.h"
#include "macro/macro_block.h"
#include "platform/debug_log.h"

namespace rxt {
namespace {

constexpr size_t kCapacityUnit = 128;

UploadResult failed(std::string_view command, int result) {
    UploadResult r;
    r.result = result;
    r.command = std::string(command);
    if (result == kResultRefused || result == kResultRefusedOther) {
        r.outcome = UploadOutcome::Refused;
    } else {
        r.outcome = UploadOutcome::NoAnswer;
    }
    debugLog("upload stopped: " + r.command + " gave " + std::to_string(result));
    return r;
}

struct Step {
    std::string_view name;
    std::function<int()> run;
};

// Runs the commands in order and stops at the first that fails.
UploadResult runSteps(DeviceLink& link, const std::vector<Step>& steps) {
    if (!link.connected()) {
        UploadResult r;
        r.outcome = UploadOutcome::NotConnected;
        r.result = kResultNoDevice;
        return r;
    }
    for (const Step& s : steps) {
        const int result = s.run();
        if (result != kResultDone) {
            return failed(s.name, result);
        }
    }
    return {};
}

std::vector<Step> framedBlock(DeviceLink& link, std::string_view name,
                              int (DeviceLink::*write)(const uint8_t*, uint16_t),
                              const std::vector<uint8_t>& block) {
    return {
        {"BeginSession", [&link] { return link.BeginSession(); }},
        {name,
         [&link, write, &block] {
             return (link.*write)(block.data(), static_cast<uint16_t>(block.size()));
         }},
        {"EndSession", [&link] { return link.EndSession(); }},
    };
}

}  // namespace

std::string_view UploadResult::message() const {
    switch (outcome) {
        case UploadOutcome::Done:
            return {};
        case UploadOutcome::TooLarge:
            return kMessageBlockTooLarge;
        case UploadOutcome::NoMemory:
            return kMessageNoMemory;
        case UploadOutcome::NotConnected:
            return kMessageUploadNotConnected;
        case UploadOutcome::NoAnswer:
            return kMessageUploadNoAnswer;
        case UploadOutcome::Refused:
            return kMessageUploadRefused;
    }
    return {};
}

int excessSteps(size_t total, size_t capacityBytes) {
    if (total <= capacityBytes) {
        return 0;
    }
    return static_cast<int>((total - capacityBytes) / kMacroStepSize) + 1;
}

UploadResult UploadMacros(DeviceLink& link, const MacroCatalogue& catalogue, uint8_t capacityUnits,
                          int bankNumber, std::span<const uint8_t> bankBytes) {
    const std::vector<std::string> names = catalogue.LoadCatalogue();
    std::vector<std::vector<MacroAction>> macros;
    std::vector<size_t> counts;
    macros.reserve(names.size());
    for (const std::string& name : names) {
        macros.push_back(LoadMacro(catalogue, name));
        counts.push_back(macros.back().size());
    }
    const size_t total = macroBlockSize(counts);
    const size_t capacity = size_t{capacityUnits} * kCapacityUnit;
    if (total > capacity) {
        UploadResult r;
        r.outcome = UploadOutcome::TooLarge;
        r.excessSteps = excessSteps(total, capacity);
        return r;
    }
    std::vector<uint8_t> block;
    if (total > 0) {
        try {
            block = encodeMacroBlock(macros);
        } catch (const std::bad_alloc&) {
            UploadResult r;
            r.outcome = UploadOutcome::NoMemory;
            return r;
        }
    }
    std::vector<Step> steps;
    if (!block.empty()) {
        steps = framedBlock(link, "WriteMacroData", &DeviceLink::WriteMacroData, block);
    }
    steps.push_back({"BeginSession", [&link] { return link.BeginSession(); }});
    steps.push_back({"WriteBank", [&link, bankNumber, bankBytes] {
                         return link.WriteBank(bankBytes.data(),
                                               static_cast<uint16_t>(bankBytes.size()), bankNumber);
                     }});
    steps.push_back({"EndSession", [&link] { return link.EndSession(); }});
    UploadResult r = runSteps(link, steps);
    r.blockSize = block.size();
    return r;
}

UploadResult UploadCursorSchemes(DeviceLink& link, const MacroCatalogue& catalogue) {
    std::vector<std::vector<MacroAction>> schemes;
    std::vector<size_t> counts;
    for (const std::string& name : cursorSchemeNames(catalogue)) {
        schemes.push_back(loadCursorScheme(catalogue, name));
        counts.push_back(schemes.back().size());
    }
    if (schemes.empty()) {
        return {};
    }
    const std::vector<uint8_t> block = encodeMacroBlock(schemes);
    if (block.empty()) {
        // Past the 16-bit length: hand-made scheme files far too long.
        UploadResult r;
        r.outcome = UploadOutcome::TooLarge;
        r.excessSteps = excessSteps(macroBlockSize(counts), kMacroBlockMaxSize);
        return r;
    }
    UploadResult r =
        runSteps(link, framedBlock(link, "WriteCursorData", &DeviceLink::WriteCursorData, block));
    r.blockSize = block.size();
    return r;
}

}  // namespace rxt
