#pragma once
// Routes the window's notifications to their handlers by type and control
// name. A name may be registered whole ("ms_tab") or as the prefix of
// numbered names ("kb_key_" for "kb_key_37": the name less its trailing
// number). A whole name wins over a prefix. Several features share one
// router, so a second route for the same type and name is a fault of the
// program: it is refused with std::logic_error, never silently replaced.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ui/skin_ui.h"

namespace rxt::shell {

// "kb_key_37" -> ("kb_key_", 37); nullopt when the name does not end in a
// decimal number (or the number does not fit an int).
std::optional<std::pair<std::string, int>> splitIndexedName(std::string_view name);

class NotifyRouter {
  public:
    // index: the number of a prefixed name, -1 for a whole name.
    using Handler = std::function<void(const ui::Notification& n, int index)>;

    // Throw std::logic_error when the type and name (or prefix) have a route.
    void on(std::string_view type, std::string_view name, Handler handler);
    void onIndexed(std::string_view type, std::string_view prefix, Handler handler);

    // Runs the handler for n; false when there is none.
    bool route(const ui::Notification& n) const;
    bool handles(std::string_view type, std::string_view name) const;

    // Every route: its type and its whole name, or its prefix when numbered.
    struct Route {
        std::string type;
        std::string name;
        bool numbered = false;
    };
    std::vector<Route> routes() const;

  private:
    const Handler* find(std::string_view type, std::string_view name, int& index) const;

    std::map<std::pair<std::string, std::string>, Handler, std::less<>> names_;
    std::map<std::pair<std::string, std::string>, Handler, std::less<>> prefixes_;
};

}  // namespace rxt::shell
