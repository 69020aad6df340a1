#pragma once
// The command-line tool: every command writes to the given streams and
// returns the process exit status, so tests can run it in-process.

#include <iosfwd>
#include <string>
#include <vector>

namespace rxt::tools {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the device answered with another result
inline constexpr int kExitUsage = 2;   // bad arguments, or no such device

int runRxtctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rxt::tools
