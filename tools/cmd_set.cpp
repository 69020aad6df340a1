// rxtctl set KIND FIELD VALUE...: one setting of the current record, with
// the pages' encodings, through the running program or on the device.

#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "lighting/light_edit.h"
#include "platform/system_pointer.h"
#include "profile/profile_data.h"
#include "settings/performance_edit.h"
#include "state/keyboard_kind.h"
#include "state/write_back.h"
#include "tools/commands.h"
#include "tools/kind_link.h"
#include "tools/program_route.h"

namespace rxt::tools {
namespace {

// The selected profiles a page saves after the change, so that the
// program, started later, applies the new value rather than the old one:
// the performance and lighting pages save the mouse's device and lighting
// profiles (the active level only the device's), the mousepad's page its
// lighting profile, the keyboard's page its device and lighting profiles.
std::vector<ProfileKind> savedProfiles(DeviceKind kind, const SettingEdit& edit) {
    if (kind == DeviceKind::Mousepad) {
        return {ProfileKind::Lighting};
    }
    if (edit.performance && edit.performance->field == perf::PerformanceField::ActiveDpi) {
        return {ProfileKind::Device};
    }
    return {ProfileKind::Device, ProfileKind::Lighting};
}

bool saveProfiles(DeviceKind kind, const SettingEdit& edit, DeviceImageSet& images) {
    // The desktop's pointer values, as a profile load reads them: the mouse
    // files carry them.
    const std::unique_ptr<SystemPointer> system = makeSystemPointer();
    HostPointerSettings host;
    host.pointerSpeed.store(clampPointerSpeed(system->pointerSpeed()));
    host.wheelLines.store(clampWheelLines(system->wheelScrollLines()));
    ProfileContext pctx;
    pctx.images = &images;
    pctx.host = &host;
    std::unique_ptr<KeyboardCustomLayouts> layouts;
    bool saved = true;
    for (ProfileKind profile : savedProfiles(kind, edit)) {
        if (const auto catalogue = ProfileCatalogue::find(kind, profile);
            catalogue && catalogue->ReadCount() > 0) {
            // The keyboard's files carry the custom layouts, which only the
            // program keeps: each file keeps its own.
            if (kind == DeviceKind::Keyboard) {
                layouts = std::make_unique<KeyboardCustomLayouts>();
                auto scratch = std::make_unique<DeviceImageSet>();
                ProfileContext load = pctx;
                load.images = scratch.get();
                load.layouts = layouts.get();
                LoadProfileData(load, *catalogue, catalogue->ReadSelect());
                pctx.layouts = layouts.get();
            }
            saved = SaveSelectedProfile(pctx, *catalogue) && saved;
        }
    }
    return saved;
}

}  // namespace

std::optional<SettingEdit> parseSettingEdit(lighting::LightDevice device,
                                            std::span<const std::string> words,
                                            std::string& error) {
    const DeviceKind kind = device.device;
    if (words.empty()) {
        error = "set needs a field: " + std::string(perf::kPerformanceFieldNames) + " or lighting";
        return std::nullopt;
    }
    SettingEdit edit;
    if (words[0] == "lighting") {
        edit.light = lighting::parseLightEdit(device, words.subspan(1), error);
        return edit.light ? std::optional(edit) : std::nullopt;
    }
    if (kind != DeviceKind::Mouse && perf::isPerformanceField(words[0])) {
        error = "only the mouse has " + words[0];
        return std::nullopt;
    }
    edit.performance = perf::parsePerformanceEdit(words, error);
    return edit.performance ? std::optional(edit) : std::nullopt;
}

int cmdSet(const Context& ctx, const std::vector<std::string>& args) {
    if (args.size() < 3) {
        ctx.err << commandHelp("set");
        return kExitUsage;
    }
    const auto kind = kindArgument(ctx, args[1]);
    if (!kind) {
        return kExitUsage;
    }
    std::string error;
    std::optional<SettingEdit> edit = parseSettingEdit(*kind, std::span(args).subspan(2), error);
    if (!edit) {
        ctx.err << "rxtctl: " << error << "\n";
        return kExitUsage;
    }
    if (const std::optional<int> status = throughProgram(ctx, args)) {
        return *status;
    }

    // No program: the device itself, read whole first as the program does
    // on arrival, then the record written as its write-back would.
    DeviceLinks links;
    auto images = std::make_unique<DeviceImageSet>();
    NullReactions ui;
    WriteBack writeBack(links, *images, ui);
    DeviceLink& link = links[*kind];
    DeviceImages& record = images->of(*kind);
    if (const int read = readKind(ctx, *kind, link, record); read != kExitOk) {
        return read;
    }
    if (*kind == DeviceKind::Keyboard) {
        // Its kind decides its modes and whether it takes a colour.
        const KeyboardKind keyboard = openKeyboardKind(link);
        images->setKeyboardVariant(keyboardVariantOf(keyboard));
        edit = parseSettingEdit({*kind, keyboard}, std::span(args).subspan(2), error);
        if (!edit) {
            closeKindLink(link);
            ctx.err << "rxtctl: " << error << "\n";
            return kExitUsage;
        }
    }
    int written = kResultNoDevice;
    writeBack.setOnRecordWritten([&written](DeviceKind, int result) { written = result; });
    if (edit->performance && edit->performance->field == perf::PerformanceField::ActiveDpi) {
        writeBack.setActiveDpiLevel(edit->performance->level);
    } else {
        if (edit->performance) {
            perf::storePerformanceEdit(record, *edit->performance);
        } else {
            lighting::storeLightEdit(record, *edit->light);
        }
        writeBack.writeCurrentRecord(*kind);
    }
    closeKindLink(link);
    if (written != kResultDone) {
        ctx.err << "rxtctl: the " << kindName(*kind) << " did not take the record (result "
                << written << ")\n";
        return kExitFailed;
    }
    if (!saveProfiles(*kind, *edit, *images)) {
        ctx.err << "rxtctl: the " << kindName(*kind)
                << " took the change, but its selected profile could not be saved\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace rxt::tools
