#include "tools/kind_link.h"

#include <mutex>
#include <ostream>

#include "device/interface_finder.h"
#include "state/discovery_threads.h"
#include "state/read_sequences.h"

namespace rxt::tools {

std::optional<DeviceKind> kindArgument(const Context& ctx, const std::string& text) {
    auto kind = kindFromName(text);
    if (!kind) {
        ctx.err << "rxtctl: unknown device kind \"" << text << "\" (mouse, mousepad or keyboard)\n";
    }
    return kind;
}

int openKindLink(const Context& ctx, DeviceKind kind, DeviceLink& link) {
    const DeviceIdentity& id = identityOf(kind);
    link.setTargets(id.vendor, id.product, id.usage, id.usagePage);
    FindReport found;
    {
        std::lock_guard lock(link.transferLock());
        found = findAndOpen(link.device(), configInterfaceMatch(kind), true);
    }
    if (found.result == FindResult::EnumerationFailed) {
        ctx.err << "rxtctl: cannot look for the " << kindName(kind) << ": the HID interfaces on "
                << ctx.busName << " cannot be listed\n";
        return kExitUsage;
    }
    if (found.result != FindResult::Found) {
        ctx.err << "rxtctl: no " << kindName(kind) << " found on " << ctx.busName;
        if (!found.openError.empty()) {
            ctx.err << " (its interface could not be opened: " << found.openError << ")";
        }
        ctx.err << "\n";
        return kExitUsage;
    }
    link.setConnected(true);
    return kExitOk;
}

int readKind(const Context& ctx, DeviceKind kind, DeviceLink& link, DeviceImages& images) {
    if (const int opened = openKindLink(ctx, kind, link); opened != kExitOk) {
        return opened;
    }
    NullReactions ui;
    ReadResult read = readAll(link, images, ui);
    if (read.ok() && kind != DeviceKind::Mousepad) {
        read = refreshCurrentRecord(link, images, ui);
    }
    if (!read.ok()) {
        closeKindLink(link);
        ctx.err << "rxtctl: the read of the " << kindName(kind) << " failed (result "
                << read.firstFailure << "); nothing was sent\n";
        return kExitFailed;
    }
    return kExitOk;
}

void closeKindLink(DeviceLink& link) {
    link.setConnected(false);
    link.device().close();
}

KeyboardKind openKeyboardKind(DeviceLink& link) {
    const DeviceImageSet fresh;
    return keyboardKindOf(
        keyboardVariantFor(link.device().attributes().product, fresh.keyboardVariant()));
}

}  // namespace rxt::tools
