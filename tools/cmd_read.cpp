// rxtctl read KIND: the read-all sequence of one device, every image shown.

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "device/device_kind.h"
#include "device/device_link.h"
#include "state/device_images.h"
#include "state/read_sequences.h"
#include "state/ui_reactions.h"
#include "tools/commands.h"
#include "tools/json_text.h"
#include "tools/kind_link.h"

namespace rxt::tools {
namespace {

// Nothing is shown or saved; a message box is kept to be reported.
class QuietReactions : public NullReactions {
  public:
    std::vector<std::string> messages;

    void showMessageBox(std::string_view key) override { messages.emplace_back(key); }
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
    const auto kind = kindArgument(ctx, args[1]);
    if (!kind) {
        return kExitUsage;
    }
    DeviceLink link;
    if (const int status = openKindLink(ctx, *kind, link); status != kExitOk) {
        return status;
    }
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
