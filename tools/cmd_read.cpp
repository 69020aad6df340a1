// rxtctl read KIND: the read-all sequence of one device, every image shown.

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "device/device_kind.h"
#include "device/device_link.h"
#include "device/interface_finder.h"
#include "state/device_images.h"
#include "state/read_sequences.h"
#include "state/ui_reactions.h"
#include "tools/commands.h"
#include "tools/json_text.h"

namespace rxt::tools {
namespace {

// The read sequences' calls on the interface: nothing is shown or saved, and
// a message box is kept to be reported.
class QuietReactions : public UiReactions {
  public:
    std::vector<std::string> messages;

    void showControl(std::string_view, bool) override {}
    void selectTab(std::string_view) override {}
    void setSliderValue(std::string_view, int) override {}
    void setEditText(std::string_view, std::string_view) override {}
    void showWindow(bool) override {}
    void startTimer(int, int) override {}
    void postMessage(int) override {}
    void sendMessage(int) override {}
    void postActivation() override {}
    void selectProfileEntry(std::string_view, int) override {}
    void loadKeyboardDeviceProfile(int) override {}
    void saveSelectedProfile(DeviceKind, ProfileKind) override {}
    void writeKeyboardDefaultFile(int, std::span<const uint8_t>) override {}
    void showMessageBox(std::string_view key) override { messages.emplace_back(key); }
    void refreshPage(Page) override {}
    void triggerLightEffects() override {}
};

struct Region {
    std::string title;  // for people
    std::string key;    // for JSON
    std::vector<uint8_t> bytes;
};

template <size_t N>
std::vector<uint8_t> bytesOf(const ByteImage<N>& image, size_t n = N) {
    std::vector<uint8_t> out(std::min(n, N));
    image.copyOut(0, out);
    return out;
}

std::vector<Region> regionsOf(const DeviceImages& images) {
    std::vector<Region> out;
    out.push_back({"information record", "info", bytesOf(images.info)});
    if (images.kind() != DeviceKind::Mousepad) {
        out.push_back({"default key table", "defaultKeys", bytesOf(images.defaultKeys)});
        // The mouse reads all five banks, the keyboard bank 0 only.
        const size_t banks = images.kind() == DeviceKind::Mouse ? kKeyBankCount : 1;
        for (size_t b = 0; b < banks; ++b) {
            out.push_back({"key bank " + std::to_string(b), "bank", bytesOf(images.banks[b])});
        }
    }
    out.push_back({"record table", "records", bytesOf(images.records)});
    out.push_back({"current record", "current", bytesOf(images.current, images.currentSize())});
    return out;
}

void printHex(std::ostream& out, const Region& r) {
    out << r.title << " (" << r.bytes.size() << " bytes)\n";
    for (size_t i = 0; i < r.bytes.size(); i += 16) {
        char offset[20];
        std::snprintf(offset, sizeof offset, "%04zx", i);
        out << "  " << offset << "  "
            << hexBytes(r.bytes.data() + i, std::min<size_t>(16, r.bytes.size() - i)) << "\n";
    }
}

void printJson(std::ostream& out, DeviceKind kind, const ReadResult& result,
               const std::vector<Region>& regions) {
    out << "{\"kind\": " << jsonString(kindName(kind)) << ", \"result\": " << result.firstFailure
        << ", \"completed\": " << (result.completed ? "true" : "false");
    bool banksOpen = false;
    for (const Region& r : regions) {
        const std::string hex = jsonString(hexBytes(r.bytes.data(), r.bytes.size()));
        if (r.key == "bank") {
            out << (banksOpen ? ", " : ", \"banks\": [") << hex;
            banksOpen = true;
            continue;
        }
        if (banksOpen) {
            out << "]";
            banksOpen = false;
        }
        out << ", " << jsonString(r.key) << ": " << hex;
    }
    out << "}\n";
}

}  // namespace

int cmdRead(const Context& ctx, const std::vector<std::string>& args) {
    if (args.size() != 2) {
        ctx.err << "usage: rxtctl read KIND [--json]\n";
        return kExitUsage;
    }
    const auto kind = kindFromName(args[1]);
    if (!kind) {
        ctx.err << "rxtctl: unknown device kind \"" << args[1]
                << "\" (mouse, mousepad or keyboard)\n";
        return kExitUsage;
    }

    DeviceLink link;
    const DeviceIdentity& id = identityOf(*kind);
    link.setTargets(id.vendor, id.product, id.usage, id.usagePage);
    FindReport found;
    {
        std::lock_guard lock(link.transferLock());
        found = findAndOpen(link.device(), configInterfaceMatch(*kind), true);
    }
    if (found.result == FindResult::EnumerationFailed) {
        ctx.err << "rxtctl: cannot look for the " << kindName(*kind) << ": the HID interfaces on "
                << ctx.busName << " cannot be listed\n";
        return kExitUsage;
    }
    if (found.result != FindResult::Found) {
        ctx.err << "rxtctl: no " << kindName(*kind) << " found on " << ctx.busName;
        if (!found.openError.empty()) {
            ctx.err << " (its interface could not be opened: " << found.openError << ")";
        }
        ctx.err << "\n";
        return kExitUsage;
    }
    link.setConnected(true);
    DeviceImages images(*kind);
    QuietReactions ui;
    const ReadResult result = readAll(link, images, ui);
    link.setConnected(false);
    link.device().close();

    const std::vector<Region> regions = regionsOf(images);
    if (ctx.options.json) {
        printJson(ctx.out, *kind, result, regions);
    } else {
        for (const Region& r : regions) {
            printHex(ctx.out, r);
        }
    }
    if (!result.completed) {
        ctx.err << "rxtctl: the keyboard reports " << int(images.info.get(info::kKeyCount))
                << " keys; a key table holds at most " << kMaxKeyboardKeys
                << ", so the read stopped after the information record (message_text_11)\n";
        return kExitFailed;
    }
    if (result.firstFailure != kResultDone) {
        ctx.err << "rxtctl: a read from the " << kindName(*kind) << " failed with result "
                << result.firstFailure << "; what did not arrive is shown as zeros\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace rxt::tools
