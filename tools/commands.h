#pragma once
// The commands of rxtctl, each given the parsed global options and its own
// arguments (args[0] is the command name).

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_kind.h"
#include "lighting/light_edit.h"
#include "settings/performance_edit.h"

#include "tools/options.h"
#include "tools/rxtctl.h"

namespace rxt::tools {

struct Context {
    GlobalOptions options;
    std::string busName;  // for messages: "hidraw", "sim:PATH"
    std::ostream& out;
    std::ostream& err;
};

// The --help text of a command (the general one for an unknown command).
const char* commandHelp(std::string_view command);

int cmdDevices(const Context& ctx, const std::vector<std::string>& args);
int cmdRaw(const Context& ctx, const std::vector<std::string>& args);
int cmdRead(const Context& ctx, const std::vector<std::string>& args);
int cmdWatch(const Context& ctx, const std::vector<std::string>& args);
int cmdShow(const Context& ctx, const std::vector<std::string>& args);
int cmdSet(const Context& ctx, const std::vector<std::string>& args);
int cmdProfile(const Context& ctx, const std::vector<std::string>& args);
int cmdMacro(const Context& ctx, const std::vector<std::string>& args);

// One change of `set`: a mouse performance field or a lighting field.
struct SettingEdit {
    std::optional<perf::PerformanceEdit> performance;
    std::optional<lighting::LightEdit> light;
};
// FIELD VALUE... for kind (the keyboard's lighting for its kind, a check
// only while that is not known); nullopt with a message naming what is
// allowed.
std::optional<SettingEdit> parseSettingEdit(lighting::LightDevice device,
                                            std::span<const std::string> words, std::string& error);

}  // namespace rxt::tools
