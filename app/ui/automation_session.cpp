#include "app/ui/automation_session.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>

namespace rxt::ui {

std::string formatColor(uint32_t argb) {
    char buf[12];
    std::snprintf(buf, sizeof buf, "%08X", argb);
    return buf;
}

std::optional<uint32_t> parseColor(std::string_view hex) {
    if (!hex.empty() && hex.front() == '#') {
        hex.remove_prefix(1);
    }
    if (hex.empty() || hex.size() > 8) {
        return std::nullopt;
    }
    uint32_t v = 0;
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), v, 16);
    if (ec != std::errc() || end != hex.data() + hex.size()) {
        return std::nullopt;
    }
    return v;
}

std::string escapeReplyText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

namespace {

// Splits off the first blank-separated word.
std::string_view word(std::string_view& rest) {
    const auto start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(start);
    const auto end = rest.find(' ');
    std::string_view w = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    return w;
}

std::optional<int> parseInt(std::string_view s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return v;
}

AutomationReply fromUi(bool ok, SkinUi& ui) {
    return ok ? AutomationReply::success() : AutomationReply::failure(ui.lastError());
}

const char* flag(bool b) {
    return b ? "1" : "0";
}

std::string replyLine(const AutomationReply& r) {
    if (!r.ok) {
        return "error " + r.value;
    }
    return r.value.empty() ? "ok" : "ok " + r.value;
}

}  // namespace

AutomationSession::AutomationSession(SkinUi& ui, AutomationHook* hook,
                                     std::function<void(std::string)> write)
    : ui_(ui), hook_(hook), write_(std::move(write)) {}

void AutomationSession::feed(std::string_view bytes) {
    for (char c : bytes) {
        if (c == '\n') {
            if (discarding_) {
                discarding_ = false;
                waiting_.push_back("\x01");  // answered with an error in order
            } else {
                if (!buffer_.empty() && buffer_.back() == '\r') {
                    buffer_.pop_back();
                }
                waiting_.push_back(std::move(buffer_));
            }
            buffer_.clear();
        } else if (!discarding_) {
            buffer_.push_back(c);
            if (buffer_.size() > kMaxAutomationLine) {
                buffer_.clear();
                discarding_ = true;
            }
        }
    }
    pump();
}

void AutomationSession::pump() {
    if (busy_) {
        // Only answers may overtake the request under way.
        for (auto it = waiting_.begin(); it != waiting_.end();) {
            std::string_view rest = *it;
            if (word(rest) == "answer") {
                std::string line = std::move(*it);
                it = waiting_.erase(it);
                nextSlot_++;
                slots_.emplace_back();
                const AutomationReply r = execute(line);
                slots_.back().reply = replyLine(r);
                flush();
            } else {
                ++it;
            }
        }
        return;
    }
    while (!waiting_.empty() && !busy_) {
        std::string line = std::move(waiting_.front());
        waiting_.pop_front();
        const size_t slot = nextSlot_++;
        slots_.emplace_back();
        run(std::move(line), slot);
    }
}

void AutomationSession::run(std::string line, size_t slot) {
    busy_ = true;
    AutomationReply r = line == "\x01" ? AutomationReply::failure("line too long") : execute(line);
    busy_ = false;
    slots_[slot - firstSlot_].reply = replyLine(r);
    flush();
}

void AutomationSession::flush() {
    while (!slots_.empty() && slots_.front().reply) {
        write_(*slots_.front().reply + "\n");
        slots_.pop_front();
        ++firstSlot_;
    }
    if (quitAfterFlush_ && slots_.empty()) {
        quitAfterFlush_ = false;
        if (hook_) {
            hook_->quit();
        }
    }
}

AutomationReply AutomationSession::execute(std::string_view line) {
    std::string_view rest = line;
    const std::string_view cmd = word(rest);
    if (cmd.empty()) {
        return AutomationReply::failure("empty request");
    }
    if (cmd == "idle") {
        ui_.processEvents();
        return AutomationReply::success();
    }
    if (cmd == "quit") {
        if (!hook_) {
            return AutomationReply::failure("quit is not available");
        }
        quitAfterFlush_ = true;  // after the "ok" has gone out
        return AutomationReply::success();
    }
    if (cmd == "tray") {
        const std::string_view side = word(rest);
        if (side != "left" && side != "right") {
            return AutomationReply::failure("tray left|right");
        }
        return fromUi(ui_.userTray(side == "left"), ui_);
    }
    if (cmd == "menu") {
        const std::string_view item = word(rest);
        if (item.empty()) {
            return AutomationReply::failure("menu ITEM");
        }
        return fromUi(ui_.userMenu(item), ui_);
    }
    if (cmd == "answer") {
        return answerRequest(rest);
    }
    if (cmd == "image") {
        const std::string_view kind = word(rest);
        const std::string_view area = word(rest);
        if (kind.empty() || area.empty()) {
            return AutomationReply::failure("image KIND AREA");
        }
        if (!hook_) {
            return AutomationReply::failure("image is not available");
        }
        return hook_->image(kind, area);
    }
    static constexpr std::string_view kOnControls[] = {"click", "focus", "blur",  "type",
                                                       "get",   "color", "check", "select",
                                                       "slide", "drag",  "hover"};
    if (std::find(std::begin(kOnControls), std::end(kOnControls), cmd) == std::end(kOnControls)) {
        return AutomationReply::failure("unknown request " + std::string(cmd));
    }
    const std::string_view name = word(rest);
    if (name.empty()) {
        return AutomationReply::failure(std::string(cmd) + " needs a control name");
    }
    if (cmd == "click") {
        return fromUi(ui_.userClick(name), ui_);
    }
    if (cmd == "focus") {
        return fromUi(ui_.userFocus(name), ui_);
    }
    if (cmd == "blur") {
        return fromUi(ui_.userBlur(name), ui_);
    }
    if (cmd == "hover") {
        const std::string_view inside = word(rest);
        if (inside != "0" && inside != "1") {
            return AutomationReply::failure("hover NAME 0|1");
        }
        return fromUi(ui_.userHover(name, inside == "1"), ui_);
    }
    if (cmd == "type") {
        // The text is the rest of the line, blanks and all.
        return fromUi(ui_.userType(name, rest), ui_);
    }
    if (cmd == "get") {
        const std::string_view property = word(rest);
        if (property.empty()) {
            return AutomationReply::failure("get NAME PROPERTY");
        }
        return get(name, property);
    }
    const std::string_view arg = word(rest);
    if (cmd == "color") {
        const auto color = parseColor(arg);
        if (!color) {
            return AutomationReply::failure("color NAME AARRGGBB");
        }
        return fromUi(ui_.userColor(name, *color), ui_);
    }
    const auto number = parseInt(arg);
    if (cmd == "check") {
        if (arg != "0" && arg != "1") {
            return AutomationReply::failure("check NAME 0|1");
        }
        return fromUi(ui_.userCheck(name, arg == "1"), ui_);
    }
    if (cmd == "select" || cmd == "slide" || cmd == "drag") {
        if (!number) {
            return AutomationReply::failure(std::string(cmd) + " NAME NUMBER");
        }
        if (cmd == "select") {
            return fromUi(ui_.userSelect(name, *number), ui_);
        }
        if (cmd == "slide") {
            return fromUi(ui_.userSlide(name, *number), ui_);
        }
        return fromUi(ui_.userDrag(name, *number), ui_);
    }
    return AutomationReply::failure("unknown request " + std::string(cmd));
}

AutomationReply AutomationSession::answerRequest(std::string_view rest) {
    const std::string_view kind = word(rest);
    // Paths are the rest of the line and may hold blanks.
    const std::string_view value = rest;
    DialogAnswer a;
    if (kind == "message") {
        if (value != "0" && value != "1") {
            return AutomationReply::failure("answer message 1|0");
        }
        a = DialogAnswer::message(value == "1");
    } else if (kind == "open" || kind == "save") {
        const auto k = kind == "open" ? DialogAnswer::Kind::Open : DialogAnswer::Kind::Save;
        if (value.empty()) {
            return AutomationReply::failure("answer " + std::string(kind) + " PATH|cancel");
        }
        a = value == "cancel" ? DialogAnswer::cancel(k)
                              : DialogAnswer{k, true, std::string(value), 0};
    } else if (kind == "palette") {
        if (value == "cancel") {
            a = DialogAnswer::cancel(DialogAnswer::Kind::Palette);
        } else if (const auto color = parseColor(value)) {
            a = DialogAnswer::palette(*color);
        } else {
            return AutomationReply::failure("answer palette AARRGGBB|cancel");
        }
    } else {
        return AutomationReply::failure("answer message|open|save|palette ...");
    }
    if (answerOpen_ && answerOpen_(a)) {
        return AutomationReply::success();
    }
    ui_.answer(a);
    return AutomationReply::success();
}

AutomationReply AutomationSession::get(std::string_view name, std::string_view property) {
    if (property == "messages") {
        std::string out;
        for (const auto& m : ui_.takeShownMessages()) {
            if (!out.empty()) {
                out.push_back(' ');
            }
            out += escapeReplyText(m);
        }
        return AutomationReply::success(out);
    }
    const ControlKind kind = ui_.controlKind(name);
    if (kind == ControlKind::Missing) {
        return AutomationReply::failure("no control " + std::string(name));
    }
    if (property == "text") {
        return AutomationReply::success(escapeReplyText(ui_.text(name)));
    }
    if (property == "visible") {
        return AutomationReply::success(flag(ui_.visible(name)));
    }
    if (property == "enabled") {
        return AutomationReply::success(flag(ui_.enabled(name)));
    }
    if (property == "checked") {
        return AutomationReply::success(flag(ui_.checked(name)));
    }
    if (property == "value") {
        return AutomationReply::success(std::to_string(ui_.value(name)));
    }
    if (property == "index") {
        const int index =
            kind == ControlKind::Tabs ? ui_.currentPage(name) : ui_.currentIndex(name);
        return AutomationReply::success(std::to_string(index));
    }
    if (property == "count") {
        const int count = kind == ControlKind::Tabs ? ui_.pageCount(name) : ui_.itemCount(name);
        return AutomationReply::success(std::to_string(count));
    }
    if (property == "items") {
        std::string out;
        bool first = true;
        for (const auto& item : ui_.items(name)) {
            if (!first) {
                out.push_back('\t');
            }
            first = false;
            out += escapeReplyText(item.text);
        }
        return AutomationReply::success(out);
    }
    if (property == "color") {
        const uint32_t color =
            kind == ControlKind::Palette ? ui_.paletteColor(name) : ui_.backgroundColor(name);
        return AutomationReply::success(formatColor(color));
    }
    if (property == "centre") {
        const std::optional<Point> at = ui_.screenCentre(name);
        if (!at) {
            return AutomationReply::failure(std::string(name) + " is not on a screen");
        }
        return AutomationReply::success(std::to_string(at->x) + " " + std::to_string(at->y));
    }
    if (property == "image") {
        return AutomationReply::success(escapeReplyText(ui_.backgroundImage(name)));
    }
    if (property == "tint") {
        const Tint t = ui_.tint(name);
        return AutomationReply::success(std::string(flag(t.enabled)) + " " + formatColor(t.color) +
                                        " " + std::to_string(t.alpha));
    }
    return AutomationReply::failure("unknown property " + std::string(property));
}

}  // namespace rxt::ui
