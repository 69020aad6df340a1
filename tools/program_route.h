#pragma once
// rxtctl's road through the running program: while rxt-config runs for this
// user, the commands that change settings go to it, so that its pages show
// the change and its own write-back keeps it.

#include <optional>
#include <string>
#include <vector>

#include "device/device_kind.h"
#include "state/device_images.h"
#include "state/keyboard_kind.h"
#include "tools/commands.h"

namespace rxt::tools {

// How long a request may take in the program (an upload of many macros
// included).
inline constexpr int kProgramAnswerSeconds = 30;

// Sends args to the running program and prints what it answers: the exit
// status, or nullopt when no program answers here (the caller then opens the
// device itself). Never with --virtual: those devices are this process's.
// `lines` takes the answer's lines instead of the output.
std::optional<int> throughProgram(const Context& ctx, const std::vector<std::string>& args,
                                  std::vector<std::string>* lines = nullptr);

// The program's images of kind: info, current record and the five banks,
// and the keyboard's kind when `keyboard` is given; nullopt when no program
// answers. A failure sets *status.
std::optional<bool> programImages(const Context& ctx, DeviceKind kind, DeviceImages& images,
                                  int& status, std::optional<KeyboardKind>* keyboard = nullptr);

}  // namespace rxt::tools
