#include "tools/program_route.h"

#include <chrono>
#include <ostream>

#include "platform/control_socket.h"
#include "tools/options.h"

namespace rxt::tools {

std::optional<int> throughProgram(const Context& ctx, const std::vector<std::string>& args,
                                  std::vector<std::string>* lines) {
    if (ctx.options.virtualDevices) {
        return std::nullopt;
    }
    ControlClient client;
    if (!client.connect(controlSocketPath(false))) {
        return std::nullopt;
    }
    std::string error;
    const std::optional<ControlAnswer> answer =
        client.request(args, std::chrono::seconds(kProgramAnswerSeconds), error);
    if (!answer) {
        ctx.err << "rxtctl: rxt-config: " << error << "\n";
        return kExitFailed;
    }
    for (const std::string& line : answer->lines) {
        if (lines != nullptr) {
            lines->push_back(line);
        } else {
            ctx.out << line << "\n";
        }
    }
    if (answer->status != kExitOk) {
        ctx.err << "rxtctl: rxt-config: " << answer->reason << "\n";
    }
    return answer->status;
}

std::optional<bool> programImages(const Context& ctx, DeviceKind kind, DeviceImages& images,
                                  int& status, std::optional<KeyboardKind>* keyboard) {
    std::vector<std::string> lines;
    const std::optional<int> answered =
        throughProgram(ctx, {"images", std::string(kindName(kind))}, &lines);
    if (!answered) {
        return std::nullopt;
    }
    status = *answered;
    if (status != kExitOk) {
        return false;
    }
    for (const std::string& line : lines) {
        const size_t blank = line.find(' ');
        const std::string area = line.substr(0, blank);
        std::vector<uint8_t> bytes;
        if (blank == std::string::npos || !parseHexBytes(line.substr(blank + 1), bytes)) {
            ctx.err << "rxtctl: rxt-config sent an image line of no known form\n";
            status = kExitFailed;
            return false;
        }
        if (area == "info") {
            images.info.copyIn(0, bytes);
        } else if (area == "current") {
            images.current.copyIn(0, bytes);
        } else if (area == "variant" && keyboard != nullptr && bytes.size() == 1) {
            *keyboard = keyboardKindOf(bytes[0]);
        } else if (area.size() == 5 && area.rfind("bank", 0) == 0 && area[4] >= '0' &&
                   area[4] < static_cast<char>('0' + kKeyBankCount)) {
            images.banks[static_cast<size_t>(area[4] - '0')].copyIn(0, bytes);
        }
    }
    return true;
}

}  // namespace rxt::tools
