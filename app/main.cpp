// rxt-config: the configuration program. One instance per user; a second
// start brings the first to the front and ends.
//
//   rxt-config [--virtual] [--bus sim:PATH] [--automation PATH] [--hidden]

#include <unistd.h>
#include <QApplication>
#include <QColor>
#include <QLocalServer>
#include <QPalette>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "app/pages/lighting/lighting_pages.h"
#include "app/pages/macro/macro_pages.h"
#include "app/pages/profile/profile_pages.h"
#include "app/pages/settings/settings_pages.h"
#include "app/qt/automation_server.h"
#include "app/qt/control_server.h"
#include "app/qt/qt_ui.h"
#include "app/shell/feature_set.h"
#include "app/shell/startup.h"
#include "platform/autostart.h"
#include "platform/folders.h"
#include "profile/keyboard_board.h"
#include "sim/virtual_bus.h"
#include "state/device_images.h"

namespace {

constexpr const char* kUsage =
    "usage: rxt-config [--virtual] [--bus sim:PATH] [--automation PATH] [--hidden]\n"
    "  --virtual          run against the built-in virtual mouse, mousepad and keyboard\n"
    "  --bus sim:PATH     use the simulated bus at PATH (as RXT_HID_BUS does)\n"
    "  --automation PATH  serve the automation protocol on a local socket at PATH\n"
    "  --hidden           start in the tray with the window hidden (as the autostart does)\n";

struct Options {
    bool virtualDevices = false;
    std::string bus;
    std::string automation;
    bool hidden = false;
};

// False with a message on a bad argument.
bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string_view name, std::string& out) {
            if (arg == name) {
                if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                    error = std::string(name) + " needs a value";
                    return false;
                }
                out = argv[++i];
                return true;
            }
            out = std::string(arg.substr(name.size() + 1));  // --name=value
            if (out.empty()) {
                error = std::string(name) + " needs a value";
                return false;
            }
            return true;
        };
        auto is = [&](std::string_view name) {
            return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                                   arg[name.size()] == '=');
        };
        if (arg == "--virtual") {
            options.virtualDevices = true;
        } else if (arg == rxt::kHiddenOption) {
            options.hidden = true;
        } else if (is("--bus")) {
            if (!value("--bus", options.bus)) {
                return false;
            }
            if (options.bus.rfind("sim:", 0) != 0 || options.bus.size() <= 4) {
                error = "--bus takes sim:PATH";
                return false;
            }
        } else if (is("--automation")) {
            if (!value("--automation", options.automation)) {
                return false;
            }
        } else if (arg == "--help" || arg == "-h") {
            error.clear();
            return false;
        } else if (arg.rfind("-platform", 0) == 0 || arg.rfind("-style", 0) == 0) {
            // Toolkit options pass through to it.
            if (arg == "-platform" || arg == "-style") {
                ++i;
            }
        } else {
            error = "unknown argument: " + std::string(arg);
            return false;
        }
    }
    if (options.virtualDevices && !options.bus.empty()) {
        error = "--virtual and --bus exclude each other";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        if (error.empty()) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        std::fprintf(stderr, "rxt-config: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (!options.bus.empty()) {
        ::setenv("RXT_HID_BUS", options.bus.c_str(), 1);
    }

    std::unique_ptr<rxt::sim::VirtualBus> virtualBus;
    std::unique_ptr<QApplication> app;
    std::unique_ptr<rxt::ui::AutomationServer> automation;
    std::unique_ptr<rxt::ui::ControlServer> control;

    // The pages of the window, each a feature of its own.
    rxt::ProfilePages profiles;
    rxt::SettingsPages settings;
    // The key controls of the attached keyboard model.
    settings.setKeyboardKeyPosition([](int control) {
        const auto& map = rxt::keyMapOf(rxt::deviceImages().keyboardVariant());
        return control >= 0 && static_cast<size_t>(control) < map.size()
                   ? static_cast<int>(map[static_cast<size_t>(control)])
                   : static_cast<int>(rxt::kNoKeyPosition);
    });
    rxt::shell::FeatureSet features;
    features.add(profiles);
    features.add(settings);
    rxt::LightingPages lighting;
    features.add(lighting);
    rxt::MacroPages macros;
    // Keys play macros by position: the key pages adjust before a delete.
    macros.setDeletionCheck(
        [&settings](rxt::DeviceKind device, int position, const std::function<bool()>& confirm) {
            return settings.prepareMacroDeletion(device, position, confirm);
        });
    features.add(macros);

    rxt::shell::StartupOptions startup;
    startup.window.features = &features;
    startup.window.startHidden = options.hidden;
    // Only the one instance starts the virtual devices and the toolkit.
    startup.prepare = [&](std::string& why) {
        if (options.virtualDevices) {
            virtualBus = std::make_unique<rxt::sim::VirtualBus>();
            if (!virtualBus->ok()) {
                why = "virtual devices: " + virtualBus->error();
                return false;
            }
        }
        return true;
    };
    startup.makeUi = [&]() -> std::unique_ptr<rxt::ui::SkinUi> {
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName("rxt-config");
        // The window hides to the tray; only "exit" ends the program.
        QApplication::setQuitOnLastWindowClosed(false);
        // Links (the about box's home page) in the skin's accent colour: the
        // default dark blue is unreadable on the dark skin.
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Link, QColor(0x19, 0xb5, 0xe6));
        palette.setColor(QPalette::LinkVisited, QColor(0x5f, 0xcf, 0xf2));
        QApplication::setPalette(palette);
        return std::make_unique<rxt::ui::QtUi>((rxt::programFolder() / "skin").string());
    };
    startup.onWindow = [&](rxt::ui::SkinUi& ui, rxt::shell::CMainWnd& window) {
        // rxtctl's commands reach the pages through it while the program runs.
        control = std::make_unique<rxt::ui::ControlServer>(window);
        if (!control->listen()) {
            std::fprintf(stderr, "rxt-config: control socket: %s\n",
                         control->errorString().toLocal8Bit().constData());
        }
        if (options.automation.empty()) {
            return;
        }
        automation =
            std::make_unique<rxt::ui::AutomationServer>(static_cast<rxt::ui::QtUi&>(ui), &window);
        if (!automation->listen(QString::fromStdString(options.automation))) {
            std::fprintf(stderr, "rxt-config: automation: %s\n",
                         automation->errorString().toLocal8Bit().constData());
        }
    };
    startup.onExit = [&](rxt::ui::SkinUi&, rxt::shell::CMainWnd&) {
        automation.reset();
        if (control) {
            const QString path = control->path();
            control.reset();
            QLocalServer::removeServer(path);
        }
    };

    const rxt::shell::StartupResult result = rxt::shell::runProgram(startup);
    if (!result.error.empty()) {
        std::fprintf(stderr, "rxt-config: %s\n", result.error.c_str());
    }
    if (result.secondInstance) {
        std::fprintf(stderr, "rxt-config: already running%s\n",
                     result.activationDelivered ? "; brought it to the front" : "");
    }
    if (result.abandonedWorkers != 0) {
        // Threads that did not stop in time still use what the exit would
        // free: end here without running the destructors.
        std::fflush(nullptr);
        ::_exit(result.code);
    }
    return result.code;
}
