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
    "  show KIND                     the settings of the current record and the functions\n"
    "                                of the current bank\n"
    "  set KIND FIELD VALUE...       one setting (dpi, active-dpi, report-rate, debounce,\n"
    "                                lighting ...)\n"
    "  profile list KIND             the profiles of KIND's catalogues\n"
    "  profile select KIND device|lighting|key NAME\n"
    "                                choose a profile: remembered, loaded and applied\n"
    "  macro list KIND               the macros of the mouse or the keyboard\n"
    "  macro upload KIND             the key page's Apply: macros and the key bank\n"
    "\n"
    "While rxt-config runs for this user, show, set, profile and macro go through\n"
    "it (its window shows the change); otherwise rxtctl opens the device itself.\n"
    "rxtctl COMMAND --help tells more of a command.\n"
    "\n"
    "options:\n"
    "  --bus sim:PATH   use the simulated bus at PATH (overrides RXT_HID_BUS)\n"
    "  --virtual        run the built-in virtual devices in this process\n"
    "  --json           machine-readable output\n"
    "\n"
    "exit status: 0 done, 1 the device or the program refused or failed, 2 bad usage\n";

struct CommandHelp {
    std::string_view name;
    const char* text;
};

constexpr CommandHelp kCommandHelp[] = {
    {"devices",
     "usage: rxtctl devices [--json]\n  every HID interface on the bus, one line per "
     "top-level collection, with its device kind\n"},
    {"raw",
     "usage: rxtctl raw KIND COMMAND [--offset N] [--length N] [--bank N] [--data HEX] "
     "[--block-size N]\n"
     "  one command exchange with KIND; --length pads or cuts --data: at most 56 bytes for\n"
     "  the record commands, 65535 for the chunked writes (WriteBank, StreamFrame,\n"
     "  WriteMacroData, WriteCursorData), which go in reports of 56\n"},
    {"read",
     "usage: rxtctl read KIND [--json]\n  the read-all sequence of KIND, every image in "
     "hex\n"},
    {"watch",
     "usage: rxtctl watch [--seconds N]\n  device events as they happen, until N s or "
     "Ctrl-C\n"},
    {"show",
     "usage: rxtctl show KIND [--json]\n"
     "  the decoded settings of KIND's current record (mouse: DPI levels with colours, active\n"
     "  level, report rate, debounce, lift-off; lighting: mode, brightness, speed, direction,\n"
     "  colourful, colour; the keyboard's kind names its modes) and the functions of the\n"
     "  current bank; from the running program's images when it runs, else read from the\n"
     "  device\n"},
    {"set",
     "usage: rxtctl set KIND FIELD VALUE...\n"
     "  mouse dpi LEVEL DPI        level 1..7, DPI 200..12000 in steps of 100\n"
     "  mouse active-dpi LEVEL     1..7, written at once\n"
     "  mouse report-rate INDEX    0..3 (125, 250, 500, 1000 Hz)\n"
     "  mouse debounce MS          0..18 in steps of 2\n"
     "  KIND lighting FIELD VALUE  mode NAME|INDEX, brightness 0..4, speed 0..4 (4 fastest),\n"
     "                             direction left|right, colourful on|off, color RRGGBB|R G B;\n"
     "                             the keyboard takes the modes of its kind's list\n"
     "                             (full-colour or single-colour), and the single-colour\n"
     "                             keyboard's colour is fixed (no colourful, no color)\n"
     "  through the running program (its page shows the change) or, without it, on the\n"
     "  device: read whole, then the current record written back\n"},
    {"profile",
     "usage: rxtctl profile list KIND\n"
     "       rxtctl profile select KIND device|lighting|key NAME\n"
     "  list: every entry of KIND's catalogues, the chosen one marked \"(selected)\";\n"
     "  select: as choosing NAME in the profile page's list: remembered, its file loaded\n"
     "  and applied to the device (the mousepad has lighting profiles only)\n"},
    {"macro",
     "usage: rxtctl macro list KIND\n"
     "       rxtctl macro upload KIND\n"
     "  KIND mouse or keyboard; list: the macros by position; upload: the key page's\n"
     "  Apply (mouse: cursor schemes, then the macros and the current key bank)\n"},
};

}  // namespace

const char* commandHelp(std::string_view command) {
    for (const CommandHelp& h : kCommandHelp) {
        if (h.name == command) {
            return h.text;
        }
    }
    return kUsage;
}

int runRxtctl(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = argsIn;
    GlobalOptions options;
    std::string error;
    if (!takeGlobalOptions(args, options, error)) {
        err << "rxtctl: " << error << "\n";
        return kExitUsage;
    }
    if (options.help) {
        out << (args.empty() ? kUsage : commandHelp(args[0]));
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
    } else if (args[0] == "show") {
        status = cmdShow(ctx, args);
    } else if (args[0] == "set") {
        status = cmdSet(ctx, args);
    } else if (args[0] == "profile") {
        status = cmdProfile(ctx, args);
    } else if (args[0] == "macro") {
        status = cmdMacro(ctx, args);
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
