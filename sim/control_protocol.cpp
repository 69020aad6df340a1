#include "sim/control_protocol.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

#include "device/command_report.h"
#include "sim/hex_text.h"

namespace rxt::sim {
namespace {

constexpr size_t kDefaultLogMax = 1000;

constexpr std::string_view kHelp =
    "commands: status | plug KIND [PRODUCT] | unplug KIND | paths KIND | "
    "action mouse dpi [LEVEL] | action KIND profile [INDEX] | action KIND light | "
    "action KIND click | action KIND notify USAGE | fault KIND [drop N | refuse COMMAND ff|fe "
    "[COUNT] | delay MS | unplug-after N | clear] | dump KIND AREA [OFFSET [LENGTH]] | "
    "poke KIND AREA OFFSET HEX | log KIND [FROM [MAX]] | log KIND clear | frames KIND | "
    "counters KIND | factory KIND | help; KIND: mouse, mousepad, keyboard; "
    "AREA: info, keytable, banks, records, macro, cursor, frame";

std::vector<std::string_view> split(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            out.push_back(line.substr(start, i - start));
        }
    }
    return out;
}

// Decimal, or hexadecimal with "0x".
std::optional<uint64_t> parseNumber(std::string_view s) {
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    uint64_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return v;
}

// Ids are hexadecimal with or without "0x".
std::optional<uint16_t> parseId(std::string_view s) {
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
    }
    uint32_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || v > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(v);
}

std::optional<DeviceKind> parseKind(std::string_view s) {
    if (auto k = kindFromName(s)) {
        return k;
    }
    for (DeviceKind k : kAllDeviceKinds) {
        if (kindPrefix(k) == s) {
            return k;
        }
    }
    return std::nullopt;
}

std::optional<uint8_t> parseCommand(std::string_view s) {
    if (auto c = commandFromName(s)) {
        return static_cast<uint8_t>(*c);
    }
    auto n = parseNumber(s);
    if (n && *n <= 0xFF) {
        return static_cast<uint8_t>(*n);
    }
    return std::nullopt;
}

std::string answer(const SimAnswer& a) {
    return (a.ok ? "ok " : "error ") + a.text;
}
std::string error(std::string_view why) {
    return "error " + std::string(why);
}

class Request {
  public:
    explicit Request(std::vector<std::string_view> words) : words_(std::move(words)) {}
    size_t size() const { return words_.size(); }
    std::string_view operator[](size_t i) const { return i < words_.size() ? words_[i] : ""; }

  private:
    std::vector<std::string_view> words_;
};

std::string runStatus(Simulator& sim) {
    std::string out = "ok";
    for (DeviceKind k : kAllDeviceKinds) {
        out += ' ';
        out += kindName(k);
        if (sim.isPlugged(k)) {
            char ids[24];
            std::snprintf(ids, sizeof ids, "=plugged:%04x:%04x", identityOf(k).vendor,
                          sim.product(k));
            out += ids;
        } else {
            out += "=unplugged";
        }
    }
    return out;
}

std::string runAction(Simulator& sim, DeviceKind kind, const Request& r) {
    const std::string_view what = r[2];
    std::optional<uint64_t> arg;
    if (r.size() > 3) {
        arg = parseNumber(r[3]);
        if (!arg) {
            return error("not a number: " + std::string(r[3]));
        }
    }
    if (r.size() > 4) {
        return error("too many arguments");
    }
    if (what == "dpi") {
        if (kind != DeviceKind::Mouse) {
            return error("only the mouse has a DPI button");
        }
        if (arg && *arg > 255) {
            return error("DPI level must be 0 to 6");
        }
        return answer(sim.pressDpiButton(arg ? std::optional<uint8_t>(*arg) : std::nullopt));
    }
    if (what == "profile") {
        if (arg && *arg > 255) {
            return error("profile index must be 0 to 4");
        }
        return answer(sim.switchProfile(kind, arg ? std::optional<uint8_t>(*arg) : std::nullopt));
    }
    if (what == "light" && !arg) {
        return answer(sim.pressLightKey(kind));
    }
    if (what == "click" && !arg) {
        return answer(sim.click(kind));
    }
    if (what == "notify") {
        if (!arg || *arg > 0xFFFF) {
            return error("notify needs a usage from 0 to 65535");
        }
        return answer(sim.notify(kind, static_cast<uint16_t>(*arg)));
    }
    return error("unknown action: use dpi, profile, light, click or notify");
}

std::string runFault(Simulator& sim, DeviceKind kind, const Request& r) {
    const std::string_view what = r[2];
    if (r.size() == 2) {
        return "ok " + sim.faults(kind);
    }
    if (what == "clear" && r.size() == 3) {
        return answer(sim.clearFaults(kind));
    }
    if (what == "refuse") {
        const auto code = parseCommand(r[3]);
        if (!code) {
            return error("unknown command: " + std::string(r[3]));
        }
        const auto status = parseId(r[4]);
        if (!status || (*status != kStatusRefused && *status != kStatusRefusedOther)) {
            return error("refusal status must be ff or fe");
        }
        std::optional<uint32_t> count;
        if (r.size() > 5) {
            const auto n = parseNumber(r[5]);
            if (!n || *n > 0xFFFFFFFF) {
                return error("bad count: " + std::string(r[5]));
            }
            count = static_cast<uint32_t>(*n);
        }
        if (r.size() > 6) {
            return error("too many arguments");
        }
        return answer(sim.refuseCommand(kind, *code, static_cast<uint8_t>(*status), count));
    }
    if (r.size() != 4) {
        return error(
            "usage: fault KIND drop N | refuse COMMAND ff|fe [COUNT] | delay MS | "
            "unplug-after N | clear");
    }
    const auto n = parseNumber(r[3]);
    if (!n || *n > 0xFFFFFFFF) {
        return error("not a number: " + std::string(r[3]));
    }
    const auto v = static_cast<uint32_t>(*n);
    if (what == "drop") {
        return answer(sim.dropReplies(kind, v));
    }
    if (what == "delay") {
        return answer(sim.delayReplies(kind, v));
    }
    if (what == "unplug-after") {
        return answer(sim.unplugAfter(kind, v));
    }
    return error("unknown fault: use drop, refuse, delay, unplug-after or clear");
}

std::string runDump(Simulator& sim, DeviceKind kind, const Request& r) {
    const auto area = areaFromName(r[2]);
    if (!area) {
        return error("unknown memory area: " + std::string(r[2]));
    }
    std::optional<uint64_t> offset = uint64_t{0};
    std::optional<size_t> length;
    if (r.size() > 3) {
        offset = parseNumber(r[3]);
        if (!offset) {
            return error("bad offset: " + std::string(r[3]));
        }
    }
    if (r.size() > 4) {
        const auto n = parseNumber(r[4]);
        if (!n) {
            return error("bad length: " + std::string(r[4]));
        }
        length = static_cast<size_t>(*n);
    }
    if (r.size() > 5) {
        return error("too many arguments");
    }
    std::string why;
    const auto bytes = sim.dump(kind, *area, static_cast<size_t>(*offset), length, &why);
    if (!bytes) {
        return error(why);
    }
    return "ok " + toHex(*bytes);
}

std::string runPoke(Simulator& sim, DeviceKind kind, const Request& r) {
    const auto area = areaFromName(r[2]);
    if (!area) {
        return error("unknown memory area: " + std::string(r[2]));
    }
    const auto offset = parseNumber(r[3]);
    if (!offset) {
        return error("bad offset: " + std::string(r[3]));
    }
    if (r.size() != 5) {
        return error("usage: poke KIND AREA OFFSET HEX");
    }
    const auto bytes = parseHex(r[4]);
    if (!bytes || bytes->empty()) {
        return error("bad hex bytes");
    }
    return answer(sim.poke(kind, *area, static_cast<size_t>(*offset), *bytes));
}

std::string runLog(Simulator& sim, DeviceKind kind, const Request& r) {
    if (r[2] == "clear" && r.size() == 3) {
        sim.clearLog(kind);
        return "ok log cleared";
    }
    uint64_t from = 0;
    size_t max = kDefaultLogMax;
    if (r.size() > 2) {
        const auto n = parseNumber(r[2]);
        if (!n) {
            return error("bad start: " + std::string(r[2]));
        }
        from = *n;
    }
    if (r.size() > 3) {
        const auto n = parseNumber(r[3]);
        if (!n || *n == 0) {
            return error("bad count: " + std::string(r[3]));
        }
        max = static_cast<size_t>(*n);
    }
    if (r.size() > 4) {
        return error("too many arguments");
    }
    const auto entries = sim.log(kind, from, max);
    const uint64_t next =
        entries.empty() ? std::max(from, sim.nextLogSeq(kind)) : entries.back().seq + 1;
    std::string out =
        "ok next=" + std::to_string(next) + " count=" + std::to_string(entries.size());
    for (const LogEntry& e : entries) {
        out += " | ";
        out += formatLogEntry(e);
    }
    return out;
}

std::string runFrames(Simulator& sim, DeviceKind kind) {
    const FrameStats s = sim.frameStats(kind);
    const double span = s.lastFrameMs - s.firstFrameMs;
    const double rate = s.frames > 1 && span > 0 ? (s.frames - 1) * 1000.0 / span : 0.0;
    // The host's time for one exchange, as the device sees it between two
    // reports of one frame.
    const uint64_t gaps = s.chunks > s.frames ? s.chunks - s.frames : 0;
    const double gap = gaps > 0 ? s.inFrameMs / static_cast<double>(gaps) : 0.0;
    char buf[240];
    std::snprintf(buf, sizeof buf,
                  "ok frames=%llu chunks=%llu last-bytes=%zu first-ms=%.3f last-ms=%.3f "
                  "rate=%.1f report-gap-ms=%.4f",
                  static_cast<unsigned long long>(s.frames),
                  static_cast<unsigned long long>(s.chunks), s.lastFrameBytes, s.firstFrameMs,
                  s.lastFrameMs, rate, gap);
    return buf;
}

std::string runCounters(Simulator& sim, DeviceKind kind) {
    const FirmwareCounters c = sim.counters(kind);
    auto n = [](uint64_t v) { return std::to_string(v); };
    return "ok requests=" + n(c.requests) + " accepted=" + n(c.accepted) +
           " refused=" + n(c.refused) + " bad-checksum=" + n(c.badChecksum) +
           " bad-report-id=" + n(c.badReportId) + " bad-length=" + n(c.badLength) +
           " out-of-range=" + n(c.outOfRange) + " unsupported=" + n(c.unsupported) +
           " injected=" + n(c.injected) + " malformed=" + n(c.malformed);
}

}  // namespace

std::string executeControlLine(Simulator& sim, std::string_view line) {
    const Request r(split(line));
    if (r.size() == 0) {
        return error("empty request");
    }
    const std::string_view verb = r[0];
    if (verb == "help") {
        return "ok " + std::string(kHelp);
    }
    if (verb == "status") {
        return runStatus(sim);
    }
    if (r.size() < 2) {
        return error("unknown request or missing device: " + std::string(verb));
    }
    const auto kind = parseKind(r[1]);
    if (!kind) {
        return error("unknown device: " + std::string(r[1]) + " (mouse, mousepad, keyboard)");
    }
    if (verb == "plug") {
        uint16_t product = 0;
        if (r.size() > 2) {
            const auto id = parseId(r[2]);
            if (!id || *id == 0) {
                return error("bad product id: " + std::string(r[2]));
            }
            product = *id;
        }
        return r.size() > 3 ? error("too many arguments") : answer(sim.plug(*kind, product));
    }
    if (verb == "unplug") {
        return r.size() > 2 ? error("too many arguments") : answer(sim.unplug(*kind));
    }
    if (verb == "paths") {
        std::string out = "ok";
        for (const std::string& p : sim.paths(*kind)) {
            out += ' ' + p;
        }
        return out;
    }
    if (verb == "action" && r.size() >= 3) {
        return runAction(sim, *kind, r);
    }
    if (verb == "fault") {
        return runFault(sim, *kind, r);
    }
    if (verb == "dump" && r.size() >= 3) {
        return runDump(sim, *kind, r);
    }
    if (verb == "poke" && r.size() >= 4) {
        return runPoke(sim, *kind, r);
    }
    if (verb == "log") {
        return runLog(sim, *kind, r);
    }
    if (verb == "frames") {
        return runFrames(sim, *kind);
    }
    if (verb == "counters") {
        return runCounters(sim, *kind);
    }
    if (verb == "factory") {
        return answer(sim.restoreFactory(*kind));
    }
    return error("unknown request: " + std::string(verb) + " (try help)");
}

}  // namespace rxt::sim
