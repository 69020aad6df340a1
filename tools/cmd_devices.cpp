#include <cstdio>
#include <ostream>

#include "device/device_kind.h"
#include "device/hid_device.h"
#include "tools/commands.h"
#include "tools/json_text.h"

namespace rxt::tools {
namespace {

std::string hex4(uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", v);
    return buf;
}

std::string kindText(const HidPathEntry& e) {
    auto kind = kindOfConfigInterface(e.vendor, e.product, e.usagePage, e.usage);
    return kind ? std::string(kindName(*kind)) : "-";
}

}  // namespace

int cmdDevices(const Context& ctx, const std::vector<std::string>& args) {
    if (args.size() > 1) {
        ctx.err << "rxtctl: devices takes no arguments\n";
        return kExitUsage;
    }
    HidDevice device;
    if (!device.enumerate()) {
        ctx.err << "rxtctl: cannot list the HID interfaces on " << ctx.busName << "\n";
        return kExitFailed;
    }
    const auto& entries = device.pathList().entries();
    if (ctx.options.json) {
        ctx.out << "[";
        for (size_t i = 0; i < entries.size(); ++i) {
            const HidPathEntry& e = entries[i];
            ctx.out << (i ? ",\n " : "\n ") << "{\"path\": " << jsonString(e.path)
                    << ", \"vendor\": " << e.vendor << ", \"product\": " << e.product
                    << ", \"interface\": " << e.interfaceNumber
                    << ", \"usage_page\": " << e.usagePage << ", \"usage\": " << e.usage
                    << ", \"input_length\": " << e.inputLength
                    << ", \"output_length\": " << e.outputLength
                    << ", \"feature_length\": " << e.featureLength
                    << ", \"kind\": " << jsonString(kindText(e)) << "}";
        }
        ctx.out << (entries.empty() ? "]\n" : "\n]\n");
        return kExitOk;
    }
    for (const HidPathEntry& e : entries) {
        ctx.out << e.path << "  " << hex4(e.vendor) << ':' << hex4(e.product) << "  "
                << e.interfaceNumber << "  " << hex4(e.usagePage) << ':' << hex4(e.usage) << "  "
                << e.inputLength << '/' << e.outputLength << '/' << e.featureLength << "  "
                << kindText(e) << "\n";
    }
    return kExitOk;
}

}  // namespace rxt::tools
