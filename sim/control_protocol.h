#pragma once
// The simulator's text control: one request per line, one answer line each,
// "ok ..." or "error REASON". The commands are listed in docs/simulator.md
// and by the "help" command.

#include <string>
#include <string_view>

#include "sim/simulator.h"

namespace rxt::sim {

// Runs one request line (without its line end) and returns the answer line
// (without its line end). Never throws; bad input gets an "error" answer.
std::string executeControlLine(Simulator& sim, std::string_view line);

}  // namespace rxt::sim
