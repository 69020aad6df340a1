#include "app/shell/notify_router.h"

#include <charconv>
#include <stdexcept>

namespace rxt::shell {

std::optional<std::pair<std::string, int>> splitIndexedName(std::string_view name) {
    size_t digits = 0;
    while (digits < name.size() && name[name.size() - 1 - digits] >= '0' &&
           name[name.size() - 1 - digits] <= '9') {
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    const std::string_view number = name.substr(name.size() - digits);
    int value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc() || end != number.data() + number.size()) {
        return std::nullopt;
    }
    return std::make_pair(std::string(name.substr(0, name.size() - digits)), value);
}

namespace {

using Routes = std::map<std::pair<std::string, std::string>, NotifyRouter::Handler, std::less<>>;

void add(Routes& routes, std::string_view type, std::string_view name,
         NotifyRouter::Handler handler, std::string_view what) {
    if (!routes.emplace(std::make_pair(std::string(type), std::string(name)), std::move(handler))
             .second) {
        throw std::logic_error("second route for " + std::string(what) + " " + std::string(type) +
                               " " + std::string(name));
    }
}

}  // namespace

void NotifyRouter::on(std::string_view type, std::string_view name, Handler handler) {
    add(names_, type, name, std::move(handler), "control");
}

void NotifyRouter::onIndexed(std::string_view type, std::string_view prefix, Handler handler) {
    add(prefixes_, type, prefix, std::move(handler), "numbered controls");
}

const NotifyRouter::Handler* NotifyRouter::find(std::string_view type, std::string_view name,
                                                int& index) const {
    if (auto it = names_.find(std::make_pair(std::string(type), std::string(name)));
        it != names_.end()) {
        index = -1;
        return &it->second;
    }
    const auto split = splitIndexedName(name);
    if (!split) {
        return nullptr;
    }
    // The prefix is the whole name less its number: "kb_key_37" is looked up
    // as "kb_key_", so "kb_key_fct_combo_23" never reaches "kb_key_".
    if (auto it = prefixes_.find(std::make_pair(std::string(type), split->first));
        it != prefixes_.end()) {
        index = split->second;
        return &it->second;
    }
    return nullptr;
}

bool NotifyRouter::route(const ui::Notification& n) const {
    int index = -1;
    const Handler* handler = find(n.type, n.sender, index);
    if (handler == nullptr) {
        return false;
    }
    (*handler)(n, index);
    return true;
}

bool NotifyRouter::handles(std::string_view type, std::string_view name) const {
    int index = -1;
    return find(type, name, index) != nullptr;
}

std::vector<NotifyRouter::Route> NotifyRouter::routes() const {
    std::vector<Route> out;
    for (const auto& [key, handler] : names_) {
        out.push_back({key.first, key.second, false});
    }
    for (const auto& [key, handler] : prefixes_) {
        out.push_back({key.first, key.second, true});
    }
    return out;
}

}  // namespace rxt::shell
