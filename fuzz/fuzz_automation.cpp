// Automation requests of any shape against an in-memory window: every line
// gets one answer line, and nothing else happens to the program.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ui/automation_session.h"
#include "app/ui/memory_ui.h"

namespace {

class NullHandler : public rxt::ui::WindowHandler {
  public:
    void notify(const rxt::ui::Notification&) override {}
    void handleMessage(int, intptr_t, intptr_t) override {}
    void onTimer(int) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rxt::ui::MemoryUi ui;
    NullHandler handler;
    ui.createMainWindow(handler, "", "fuzz", 10, 10);
    ui.addControl("button", rxt::ui::ControlKind::Button);
    ui.addControl("combo", rxt::ui::ControlKind::Combo);
    ui.addItem("combo", {"a", "1"});
    ui.addControl("slider", rxt::ui::ControlKind::Slider);
    ui.addControl("edit", rxt::ui::ControlKind::Edit);
    ui.addControl("pal", rxt::ui::ControlKind::Palette);
    ui.addControl("opt", rxt::ui::ControlKind::Option);
    ui.createTray("", "");
    size_t lines = 0;
    size_t answers = 0;
    rxt::ui::AutomationSession session(ui, nullptr, [&](std::string reply) {
        if (reply.empty() || reply.back() != '\n' || reply.find('\n') != reply.size() - 1) {
            std::abort();  // one line per answer
        }
        ++answers;
    });
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (char c : text) {
        lines += c == '\n';
    }
    session.feed(text);
    if (answers != lines) {
        std::abort();
    }
    return 0;
}
