#pragma once
// The commands of rxtctl, each given the parsed global options and its own
// arguments (args[0] is the command name).

#include <iosfwd>
#include <string>
#include <vector>

#include "tools/options.h"
#include "tools/rxtctl.h"

namespace rxt::tools {

struct Context {
    GlobalOptions options;
    std::string busName;  // for messages: "hidraw", "sim:PATH"
    std::ostream& out;
    std::ostream& err;
};

int cmdDevices(const Context& ctx, const std::vector<std::string>& args);
int cmdRaw(const Context& ctx, const std::vector<std::string>& args);
int cmdRead(const Context& ctx, const std::vector<std::string>& args);
int cmdWatch(const Context& ctx, const std::vector<std::string>& args);

}  // namespace rxt::tools
