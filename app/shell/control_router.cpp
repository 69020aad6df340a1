#include "app/shell/control_router.h"

#include <stdexcept>

namespace rxt::shell {

void ControlRouter::on(std::string_view lead, Handler handler) {
    if (!routes_.emplace(std::string(lead), std::move(handler)).second) {
        throw std::logic_error("a second control route for \"" + std::string(lead) + "\"");
    }
}

bool ControlRouter::handles(std::string_view lead) const {
    return routes_.find(lead) != routes_.end();
}

ControlAnswer ControlRouter::route(const std::vector<std::string>& args) const {
    std::string lead;
    const Handler* found = nullptr;
    size_t used = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        lead += (i == 0 ? "" : " ") + args[i];
        if (const auto it = routes_.find(lead); it != routes_.end()) {
            found = &it->second;
            used = i + 1;
        }
    }
    if (found == nullptr) {
        std::string request;
        for (const std::string& a : args) {
            request += (request.empty() ? "" : " ") + a;
        }
        return ControlAnswer::usage("rxt-config does not take \"" + request + "\"");
    }
    return (*found)(std::span<const std::string>(args).subspan(used));
}

}  // namespace rxt::shell
