#include "settings/performance_edit.h"

#include <algorithm>
#include <charconv>

#include "settings/mouse_performance.h"

namespace rxt::perf {
namespace {

std::optional<int> number(std::string_view text) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return v;
}

std::optional<int> level(const std::string& text, std::string& error) {
    const auto n = number(text);
    if (!n || *n < 1 || *n > kDpiLevels) {
        error =
            "the DPI level must be 1 to " + std::to_string(kDpiLevels) + ", not \"" + text + "\"";
        return std::nullopt;
    }
    return n;
}

}  // namespace

PerformanceView performanceView(const DeviceImages& mouse) {
    PerformanceView v;
    for (int n = 1; n <= kDpiLevels; ++n) {
        PerformanceView::Level& l = v.levels[static_cast<size_t>(n - 1)];
        l.position = dpiPosition(mouse.current.get(dpiLevelOffset(n)));
        l.dpi = dpiOfPosition(l.position);
        l.colour = dpiColour(mouse, n);
    }
    const uint8_t active = mouse.current.get(rec::kActiveDpiLevel);
    v.activeLevel = active < kDpiLevels ? active + 1 : 0;
    v.reportRateIndex = mouse.current.get(rec::kReportRate);
    v.debounceMs = debounceShown(debouncePosition(mouse.current.get(rec::kDebounce)));
    v.liftOff = mouse.current.get(rec::kLiftOffOn) != 0;
    v.liftOffHeight = mouse.current.get(rec::kLiftOffHeight);
    return v;
}

std::optional<int> reportRateHz(int index) {
    if (index < 0 || static_cast<size_t>(index) >= kReportRatesHz.size()) {
        return std::nullopt;
    }
    return kReportRatesHz[static_cast<size_t>(index)];
}

bool isPerformanceField(std::string_view word) {
    return word == "dpi" || word == "active-dpi" || word == "report-rate" || word == "debounce";
}

std::optional<PerformanceEdit> parsePerformanceEdit(std::span<const std::string> words,
                                                    std::string& error) {
    if (words.empty() || !isPerformanceField(words[0])) {
        error = "unknown field \"" + (words.empty() ? std::string() : words[0]) +
                "\": " + std::string(kPerformanceFieldNames) + " or lighting";
        return std::nullopt;
    }
    const std::string& field = words[0];
    const size_t wanted = field == "dpi" ? 3 : 2;
    if (words.size() != wanted) {
        error = field == "dpi" ? "dpi takes LEVEL DPI" : field + " takes one value";
        return std::nullopt;
    }
    PerformanceEdit e;
    if (field == "dpi" || field == "active-dpi") {
        const auto n = level(words[1], error);
        if (!n) {
            return std::nullopt;
        }
        e.level = *n;
        e.field = field == "dpi" ? PerformanceField::Dpi : PerformanceField::ActiveDpi;
        if (field == "active-dpi") {
            return e;
        }
        const auto dpi = number(words[2]);
        const auto* at = std::find_if(kDpiTable.begin(), kDpiTable.end(),
                                      [&](const DpiStep& s) { return dpi && s.dpi == *dpi; });
        if (at == kDpiTable.end()) {
            error = "DPI must be " + std::to_string(kDpiTable.front().dpi) + " to " +
                    std::to_string(kDpiTable.back().dpi) + " in steps of " +
                    std::to_string(kDpiTable[1].dpi - kDpiTable[0].dpi) + ", not \"" + words[2] +
                    "\"";
            return std::nullopt;
        }
        e.position = static_cast<int>(at - kDpiTable.begin());
        return e;
    }
    if (field == "report-rate") {
        const auto n = number(words[1]);
        const int last = static_cast<int>(kReportRatesHz.size()) - 1;
        if (!n || *n < 0 || *n > last) {
            std::string rows;
            for (size_t i = 0; i < kReportRatesHz.size(); ++i) {
                rows += (i == 0 ? "" : ", ") + std::to_string(i) + " = " +
                        std::to_string(kReportRatesHz[i]) + " Hz";
            }
            error = "report-rate INDEX must be 0 to " + std::to_string(last) + " (" + rows +
                    "), not \"" + words[1] + "\"";
            return std::nullopt;
        }
        e.field = PerformanceField::ReportRate;
        e.position = *n;
        return e;
    }
    const auto ms = number(words[1]);
    const auto* at = std::find_if(kDebounceTable.begin(), kDebounceTable.end(),
                                  [&](const DebounceStep& s) { return ms && s.shown == *ms; });
    if (at == kDebounceTable.end()) {
        error = "debounce must be " + std::to_string(kDebounceTable.front().shown) + " to " +
                std::to_string(kDebounceTable.back().shown) + " ms in steps of " +
                std::to_string(kDebounceTable[1].shown - kDebounceTable[0].shown) + ", not \"" +
                words[1] + "\"";
        return std::nullopt;
    }
    e.field = PerformanceField::Debounce;
    e.position = static_cast<int>(at - kDebounceTable.begin());
    return e;
}

void storePerformanceEdit(DeviceImages& mouse, const PerformanceEdit& edit) {
    switch (edit.field) {
        case PerformanceField::Dpi:
            mouse.current.set(dpiLevelOffset(edit.level), dpiCode(edit.position));
            break;
        case PerformanceField::ActiveDpi:
            mouse.current.set(rec::kActiveDpiLevel, static_cast<uint8_t>(edit.level - 1));
            break;
        case PerformanceField::ReportRate:
            mouse.current.set(rec::kReportRate, static_cast<uint8_t>(edit.position));
            break;
        case PerformanceField::Debounce:
            mouse.current.set(rec::kDebounce, debounceCode(edit.position));
            break;
    }
}

}  // namespace rxt::perf
