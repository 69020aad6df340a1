#pragma once
// The automation protocol, one request a line and one answer line each
// ("ok" with any value, or "error" with a reason), acting on the UI through
// the same controls and notifications a user's action would. The socket is
// the toolkit's; this is everything else, so it runs against either UI.
//
// A request may open a modal box that waits for an answer: while one request
// is under way, further lines wait, except "answer ..." lines, which are
// taken at once (and answer the box that is open). Answers are written in
// the order the requests arrived.

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/ui/automation_hook.h"
#include "app/ui/skin_ui.h"

namespace rxt::ui {

inline constexpr size_t kMaxAutomationLine = 64 * 1024;

class AutomationSession {
  public:
    // `write` sends one answer line (with its '\n'); `hook` may be null
    // (image and quit then answer with an error).
    AutomationSession(SkinUi& ui, AutomationHook* hook, std::function<void(std::string)> write);

    // Bytes as they arrive; complete lines are carried out.
    void feed(std::string_view bytes);

    // One request line (without its '\n'), carried out at once; for tests
    // and for feed.
    AutomationReply execute(std::string_view line);

    // Open modal boxes register here so that an "answer" reaches them.
    using OpenDialogAnswerer = std::function<bool(const DialogAnswer&)>;
    void setOpenDialogAnswerer(OpenDialogAnswerer answerer) { answerOpen_ = std::move(answerer); }

  private:
    struct Slot {
        std::optional<std::string> reply;
    };

    void pump();
    void run(std::string line, size_t slot);
    void flush();
    AutomationReply get(std::string_view name, std::string_view property);
    AutomationReply answerRequest(std::string_view rest);

    SkinUi& ui_;
    AutomationHook* hook_;
    std::function<void(std::string)> write_;
    OpenDialogAnswerer answerOpen_;
    std::string buffer_;
    bool discarding_ = false;  // inside an over-long line
    std::deque<std::string> waiting_;
    std::deque<Slot> slots_;  // answers not yet written, in request order
    size_t firstSlot_ = 0;    // number of the front slot
    size_t nextSlot_ = 0;
    bool busy_ = false;
    bool quitAfterFlush_ = false;
};

// Helpers of the protocol's text, shared with tests.
std::string formatColor(uint32_t argb);                    // "FF0199CB"
std::optional<uint32_t> parseColor(std::string_view hex);  // 1 to 8 hex digits
std::string escapeReplyText(std::string_view text);        // '\\', '\n', '\r', '\t' escaped

}  // namespace rxt::ui
