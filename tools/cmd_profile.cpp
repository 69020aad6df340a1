// rxtctl profile list|select and rxtctl macro list|upload: the profile
// pages' select and the key page's Apply, through the running program or,
// without it, by rxtctl itself with the same operations.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "macro/macro_catalogue.h"
#include "macro/macro_upload.h"
#include "platform/system_pointer.h"
#include "profile/profile_data.h"
#include "profile/profile_listing.h"
#include "settings/key_assignment.h"
#include "state/write_back.h"
#include "tools/commands.h"
#include "tools/kind_link.h"
#include "tools/program_route.h"

namespace rxt::tools {
namespace {

int usage(const Context& ctx, std::string_view command, const std::string& why = {}) {
    if (!why.empty()) {
        ctx.err << "rxtctl: " << why << "\n";
    }
    ctx.err << commandHelp(command);
    return kExitUsage;
}

int selectProfile(const Context& ctx, DeviceKind kind, const ProfileCatalogue& catalogue,
                  const std::string& name) {
    const std::optional<int> index = findProfileEntry(catalogue, name);
    if (!index) {
        ctx.err << "rxtctl: no " << catalogue.displayName() << " profile \"" << name << "\"\n";
        return kExitFailed;
    }
    if (catalogue.ReadSelect() == *index) {
        return kExitOk;  // as the list: choosing the chosen entry does nothing
    }
    DeviceLinks links;
    auto images = std::make_unique<DeviceImageSet>();
    DeviceLink& link = links[kind];
    if (const int read = readKind(ctx, kind, link, images->of(kind)); read != kExitOk) {
        return read;
    }
    NullReactions ui;
    WriteBack writeBack(links, *images, ui);
    const std::unique_ptr<SystemPointer> system = makeSystemPointer();
    ProfileContext pctx;
    pctx.images = images.get();
    pctx.system = system.get();
    pctx.links = &links;
    pctx.writeBack = &writeBack;
    catalogue.WriteSelect(*index);
    const int loaded = LoadProfileData(pctx, catalogue, *index);
    int status = kExitOk;
    if (loaded != 0) {
        ctx.err << "rxtctl: the file of \"" << name << "\" is "
                << (loaded == 1 ? "missing" : "not a profile file")
                << "; it is remembered, the device keeps its settings\n";
        status = kExitFailed;
    } else {
        ApplyLoadedProfile(pctx, catalogue);
        writeBack.tick();
    }
    closeKindLink(link);
    return status;
}

int uploadMacros(const Context& ctx, DeviceKind kind) {
    DeviceLink link;
    DeviceImages images(kind);
    if (const int read = readKind(ctx, kind, link, images); read != kExitOk) {
        return read;
    }
    const MacroCatalogue catalogue(kind);
    UploadResult r;
    if (kind == DeviceKind::Mouse) {
        r = UploadCursorSchemes(link, catalogue);
    }
    if (r.done()) {
        const AssignmentBank bank = currentBank(images);
        std::vector<uint8_t> data(kind == DeviceKind::Mouse ? kMouseBankSize : bank.byteCount(), 0);
        images.banks[currentBankNumber(images)].copyOut(0, data);
        r = UploadMacros(link, catalogue, images.info.get(info::kMacroMemory),
                         static_cast<int>(currentBankNumber(images)), data);
    }
    closeKindLink(link);
    if (!r.done()) {
        ctx.err << "rxtctl: the upload to the " << kindName(kind)
                << " was not done: " << r.message();
        if (r.outcome == UploadOutcome::TooLarge) {
            ctx.err << " (" << r.excessSteps << " steps too many)";
        } else if (!r.command.empty()) {
            ctx.err << " (" << r.command << ", result " << r.result << ")";
        }
        ctx.err << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

int cmdProfile(const Context& ctx, const std::vector<std::string>& args) {
    if (args.size() < 3 || (args[1] != "list" && args[1] != "select")) {
        return usage(ctx, "profile");
    }
    const auto kind = kindArgument(ctx, args[2]);
    if (!kind) {
        return kExitUsage;
    }
    if (args[1] == "list") {
        if (args.size() != 3) {
            return usage(ctx, "profile");
        }
        if (const auto status = throughProgram(ctx, args)) {
            return *status;
        }
        for (const std::string& line : profileListing(*kind)) {
            ctx.out << line << "\n";
        }
        return kExitOk;
    }
    if (args.size() < 5) {
        return usage(ctx, "profile");
    }
    const auto profile = profileKindFromName(args[3]);
    if (!profile) {
        return usage(ctx, "profile", "no profile kind \"" + args[3] + "\" (device, lighting, key)");
    }
    const std::optional<ProfileCatalogue> catalogue = ProfileCatalogue::find(*kind, *profile);
    if (!catalogue) {
        return usage(ctx, "profile", "the " + args[2] + " has no " + args[3] + " profiles");
    }
    // A name of several words may come unquoted.
    std::string name = args[4];
    for (size_t i = 5; i < args.size(); ++i) {
        name += " " + args[i];
    }
    if (const auto status = throughProgram(ctx, {"profile", "select", args[2], args[3], name})) {
        return *status;
    }
    return selectProfile(ctx, *kind, *catalogue, name);
}

int cmdMacro(const Context& ctx, const std::vector<std::string>& args) {
    if (args.size() != 3 || (args[1] != "list" && args[1] != "upload")) {
        return usage(ctx, "macro");
    }
    const auto kind = kindArgument(ctx, args[2]);
    if (!kind) {
        return kExitUsage;
    }
    if (*kind == DeviceKind::Mousepad) {
        return usage(ctx, "macro", "the mousepad has no macros (mouse or keyboard)");
    }
    if (const auto status = throughProgram(ctx, args)) {
        return *status;
    }
    if (args[1] == "list") {
        for (const std::string& line : macroListing(MacroCatalogue(*kind))) {
            ctx.out << line << "\n";
        }
        return kExitOk;
    }
    return uploadMacros(ctx, *kind);
}

}  // namespace rxt::tools
