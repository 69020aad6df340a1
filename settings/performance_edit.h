#pragma once
// The mouse performance settings of a current record as the page shows
// them, and one change of them given as words ("dpi 2 1600"): what rxtctl
// prints and sets, on its own or through the running program's page.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "state/device_images.h"

namespace rxt::perf {

// The rows of the report-rate combo, by the index byte 14 stores.
inline constexpr std::array<int, 4> kReportRatesHz{125, 250, 500, 1000};

struct PerformanceView {
    struct Level {
        int position = 0;  // of the DPI slider
        int dpi = 0;
        uint32_t colour = 0;  // opaque ARGB
    };
    std::array<Level, 7> levels{};
    int activeLevel = 0;      // 1..7; 0 when the byte is past the levels
    int reportRateIndex = 0;  // byte 14
    int debounceMs = 0;
    bool liftOff = false;
    int liftOffHeight = 0;  // byte 49
};

PerformanceView performanceView(const DeviceImages& mouse);
// The rate of a combo index; nullopt past the rows.
std::optional<int> reportRateHz(int index);

enum class PerformanceField { Dpi, ActiveDpi, ReportRate, Debounce };

struct PerformanceEdit {
    PerformanceField field = PerformanceField::Dpi;
    int level = 0;     // 1..7: dpi, active-dpi
    int position = 0;  // the slider's position (dpi, debounce) or the combo's row
};

inline constexpr std::string_view kPerformanceFieldNames = "dpi|active-dpi|report-rate|debounce";
bool isPerformanceField(std::string_view word);

// FIELD VALUE...; nullopt with a message naming the allowed range.
std::optional<PerformanceEdit> parsePerformanceEdit(std::span<const std::string> words,
                                                    std::string& error);

// The byte the page stores for the edit (the active level: byte 19 only;
// writing it at once is the write-back's).
void storePerformanceEdit(DeviceImages& mouse, const PerformanceEdit& edit);

}  // namespace rxt::perf
