// rxtctl show KIND: the decoded settings of the current record and the
// functions of the current bank, from the running program or the device.

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "lighting/light_edit.h"
#include "macro/macro_catalogue.h"
#include "settings/assignment_labels.h"
#include "settings/key_assignment.h"
#include "settings/mouse_performance.h"
#include "settings/performance_edit.h"
#include "tools/commands.h"
#include "tools/json_text.h"
#include "tools/kind_link.h"
#include "tools/program_route.h"

namespace rxt::tools {
namespace {

struct Function {
    size_t entry;
    std::string name;  // language keys joined with "+", or a macro's name
};

std::string colourHex(uint32_t argb) {
    return lighting::colourText(lighting::rgbOf(argb));
}

std::vector<Function> bankFunctions(DeviceImages& images) {
    std::vector<Function> out;
    if (images.kind() == DeviceKind::Mousepad) {
        return out;
    }
    const size_t count = images.kind() == DeviceKind::Mouse ? static_cast<size_t>(kMouseButtons)
                                                            : bankEntries(images);
    std::vector<size_t> entries(count);
    for (size_t i = 0; i < count; ++i) {
        entries[i] = i;
    }
    const std::vector<ButtonLabel> labels =
        refreshLabels(images, entries, MacroCatalogue(images.kind()).LoadCatalogue());
    const AssignmentBank bank = currentBank(images);
    for (const ButtonLabel& l : labels) {
        std::string name;
        if (l.label && l.label->verbatim) {
            name = *l.label->verbatim;
        } else if (l.label) {
            for (const std::string& k : l.label->keys) {
                name += (name.empty() ? "" : "+") + k;
            }
        } else {
            // A function the pages do not name: its three bytes.
            const KeyAssignment a = bank.get(l.entry);
            const uint8_t bytes[3] = {a.kind, a.p1, a.p2};
            name = hexBytes(bytes, 3);
        }
        out.push_back({l.entry, name});
    }
    return out;
}

void printText(std::ostream& out, DeviceImages& images, std::optional<KeyboardKind> keyboard) {
    const DeviceKind kind = images.kind();
    out << lighting::lightDeviceName({kind, keyboard}) << " (current record "
        << int(images.currentIndex()) << ")\n";
    if (kind == DeviceKind::Mouse) {
        const perf::PerformanceView v = perf::performanceView(images);
        out << "dpi levels:\n";
        for (size_t i = 0; i < v.levels.size(); ++i) {
            out << "  " << i + 1 << "  " << v.levels[i].dpi << " dpi  colour "
                << colourHex(v.levels[i].colour) << (v.activeLevel == int(i) + 1 ? "  active" : "")
                << "\n";
        }
        out << "active dpi level " << v.activeLevel << "\n";
        out << "report rate " << v.reportRateIndex;
        if (const auto hz = perf::reportRateHz(v.reportRateIndex)) {
            out << " (" << *hz << " Hz)";
        }
        out << "\ndebounce " << v.debounceMs << " ms\n";
        out << "lift-off " << (v.liftOff ? "on" : "off") << ", height " << v.liftOffHeight << "\n";
    }
    const lighting::LightView l = lighting::lightView(images, keyboard);
    out << "lighting: mode "
        << (l.modeName.empty() ? std::to_string(l.mode)
                               : l.modeName + " (" + std::to_string(l.mode) + ")")
        << ", brightness " << l.brightness << ", speed " << l.speed << ", direction "
        << (l.left ? "left" : "right");
    if (l.fixedColour) {
        out << ", fixed color " << lighting::colourText(l.colour) << "\n";
    } else {
        out << ", colourful " << (l.colourful ? "on" : "off") << ", color "
            << lighting::colourText(l.colour) << "\n";
    }
    const std::vector<Function> functions = bankFunctions(images);
    if (!functions.empty()) {
        out << "functions of bank " << currentBankNumber(images) << ":\n";
        for (const Function& f : functions) {
            out << "  " << f.entry << "  " << f.name << "\n";
        }
    }
}

void printJson(std::ostream& out, DeviceImages& images, std::optional<KeyboardKind> keyboard) {
    const DeviceKind kind = images.kind();
    out << "{\"kind\": " << jsonString(kindName(kind));
    if (keyboard) {
        out << ", \"keyboard\": "
            << jsonString(keyboardKindName(*keyboard));
    }
    out << ", \"record\": " << int(images.currentIndex());
    if (kind == DeviceKind::Mouse) {
        const perf::PerformanceView v = perf::performanceView(images);
        out << ", \"dpi\": [";
        for (size_t i = 0; i < v.levels.size(); ++i) {
            out << (i == 0 ? "" : ", ") << "{\"level\": " << i + 1
                << ", \"dpi\": " << v.levels[i].dpi
                << ", \"color\": " << jsonString(colourHex(v.levels[i].colour)) << "}";
        }
        out << "], \"active_dpi\": " << v.activeLevel
            << ", \"report_rate\": {\"index\": " << v.reportRateIndex << ", \"hz\": ";
        if (const auto hz = perf::reportRateHz(v.reportRateIndex)) {
            out << *hz;
        } else {
            out << "null";
        }
        out << "}, \"debounce_ms\": " << v.debounceMs
            << ", \"lift_off\": {\"on\": " << (v.liftOff ? "true" : "false")
            << ", \"height\": " << v.liftOffHeight << "}";
    }
    const lighting::LightView l = lighting::lightView(images, keyboard);
    out << ", \"lighting\": {\"mode\": " << l.mode << ", \"mode_name\": ";
    if (l.modeName.empty()) {
        out << "null";
    } else {
        out << jsonString(l.modeName);
    }
    out << ", \"brightness\": " << l.brightness << ", \"speed\": " << l.speed
        << ", \"direction\": " << jsonString(l.left ? "left" : "right")
        << ", \"colourful\": " << (l.colourful ? "true" : "false")
        << ", \"color\": " << jsonString(lighting::colourText(l.colour));
    if (keyboard) {
        out << ", \"color_fixed\": " << (l.fixedColour ? "true" : "false");
    }
    out << "}";
    if (kind != DeviceKind::Mousepad) {
        out << ", \"bank\": {\"number\": " << currentBankNumber(images) << ", \"functions\": [";
        const std::vector<Function> functions = bankFunctions(images);
        for (size_t i = 0; i < functions.size(); ++i) {
            out << (i == 0 ? "" : ", ") << "{\"entry\": " << functions[i].entry
                << ", \"name\": " << jsonString(functions[i].name) << "}";
        }
        out << "]}";
    }
    out << "}\n";
}

}  // namespace

int cmdShow(const Context& ctx, const std::vector<std::string>& args) {
    if (args.size() != 2) {
        ctx.err << commandHelp("show");
        return kExitUsage;
    }
    const auto kind = kindArgument(ctx, args[1]);
    if (!kind) {
        return kExitUsage;
    }
    DeviceImages images(*kind);
    std::optional<KeyboardKind> keyboard;
    int status = kExitOk;
    const std::optional<bool> fromProgram = programImages(ctx, *kind, images, status, &keyboard);
    if (fromProgram && !*fromProgram) {
        return status;
    }
    if (!fromProgram) {
        DeviceLink link;
        if (const int read = readKind(ctx, *kind, link, images); read != kExitOk) {
            return read;
        }
        if (*kind == DeviceKind::Keyboard) {
            keyboard = openKeyboardKind(link);
        }
        closeKindLink(link);
    }
    if (ctx.options.json) {
        printJson(ctx.out, images, keyboard);
    } else {
        printText(ctx.out, images, keyboard);
    }
    return kExitOk;
}

}  // namespace rxt::tools
