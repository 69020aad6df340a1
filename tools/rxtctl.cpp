#include "tools/rxtctl.h"

#include <cstdlib>
#include <memory>
#include <ostream>

#include "device/hid_backend.h"
#include "sim/virtual_bus.h"
#include "tools/commands.h"

namespace rxt::tools {
namespace {

constexpr const char* kUsage =
    "usage: rxtctl [--bus sim:PATH] [--virtual] [--json] COMMAND ...\n"
    "\n"
    "commands:\n"
    "  devices                       every HID interface on the bus\n"
    "  raw KIND COMMAND [options]    one command exchange with KIND (mouse, mousepad,\n"
    "                                keyboard); options --offset N --length N --bank N\n"
    "                                --data HEX --block-size N\n"
    "  read KIND                     the read-all sequence of KIND, every image in hex\n"
    "  watch [--seconds N]           device arrivals, removals, notifications, re-reads\n"
    "                                and writes as they happen, until N s or Ctrl-C\n"
    "\n"
    "options:\n"
    "  --bus sim:PATH   use the simulated bus at PATH (overrides RXT_HID_BUS)\n"
    "  --virtual        run the built-in virtual devices in this process\n"
    "  --json           machine-readable output\n";

}  // namespace

int runRxtctl(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = argsIn;
    GlobalOptions options;
    std::string error;
    if (!takeGlobalOptions(args, options, error)) {
        err << "rxtctl: " << error << "\n";
        return kExitUsage;
    }
    if (options.help) {
        out << kUsage;
        return kExitOk;
    }
    if (args.empty()) {
        err << kUsage;
        return kExitUsage;
    }

    std::unique_ptr<sim::VirtualBus> virtualBus;
    std::string busName;
    if (options.virtualDevices) {
        virtualBus = std::make_unique<sim::VirtualBus>();
        if (!virtualBus->ok()) {
            err << "rxtctl: cannot start the virtual devices: " << virtualBus->error() << "\n";
            return kExitUsage;
        }
        busName = "the virtual devices";
    } else if (!options.bus.empty()) {
        auto backend = makeHidBackend(options.bus, &error);
        if (!backend) {
            err << "rxtctl: --bus " << options.bus << ": " << error << "\n";
            return kExitUsage;
        }
        busName = backend->describe();
        setDefaultHidBackend(std::move(backend));
    } else {
        busName = defaultHidBackend()->describe();
    }

    Context ctx{options, busName, out, err};
    int status;
    if (args[0] == "devices") {
        status = cmdDevices(ctx, args);
    } else if (args[0] == "raw") {
        status = cmdRaw(ctx, args);
    } else if (args[0] == "read") {
        status = cmdRead(ctx, args);
    } else if (args[0] == "watch") {
        status = cmdWatch(ctx, args);
    } else {
        err << "rxtctl: unknown command \"" << args[0] << "\"\n" << kUsage;
        status = kExitUsage;
    }
    if (virtualBus || !options.bus.empty()) {
        setDefaultHidBackend(nullptr);
    }
    return status;
}

}  // namespace rxt::tools
