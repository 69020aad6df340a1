#pragma once
// The automation requests that need the program itself rather than its
// controls: the program's main window implements this and hands it to the
// automation server.

#include <string>
#include <string_view>

namespace rxt::ui {

struct AutomationReply {
    bool ok = false;
    std::string value;  // the value after "ok", or the reason after "error"

    static AutomationReply success(std::string v = {}) { return {true, std::move(v)}; }
    static AutomationReply failure(std::string reason) { return {false, std::move(reason)}; }
};

class AutomationHook {
  public:
    virtual ~AutomationHook() = default;

    // `image KIND AREA`: hex of a device image area. KIND "mouse",
    // "mousepad" or "keyboard"; AREA "info", "keytable", "bank0".."bank4",
    // "records" or "current".
    virtual AutomationReply image(std::string_view kind, std::string_view area) = 0;
    // `quit`: ends the program as the tray menu's "exit" does; called after
    // the "ok" answer has been written.
    virtual void quit() = 0;
};

}  // namespace rxt::ui
