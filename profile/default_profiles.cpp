#include "profile/default_profiles.h"

#include <algorithm>
#include <system_error>

#include "profile/keyboard_board.h"
#include "profile/profile_file.h"
#include "profile/profile_payload.h"
#include "state/device_images.h"

namespace rxt {
namespace {

using Bytes = std::vector<uint8_t>;

void putLighting(Bytes& record, const LightingDefaults& l) {
    record[rec::kLightMode] = l.mode;
    record[rec::kBrightness] = l.brightness;
    record[rec::kSpeed] = l.speed;
    record[rec::kDirection] = l.direction;
    record[rec::kColourful] = l.colourful;
    record[rec::kRed] = l.colour.red;
    record[rec::kGreen] = l.colour.green;
    record[rec::kBlue] = l.colour.blue;
}

void putKey(Bytes& bank, size_t entry, const KeyFunction& f) {
    bank[3 * entry] = f.kind;
    bank[3 * entry + 1] = f.p1;
    bank[3 * entry + 2] = f.p2;
}

constexpr Rgb kOff{0, 0, 0};

Rgb rowRainbow(const BoardKey& k) {
    constexpr std::array<Rgb, 6> rows{
        {{255, 0, 0}, {255, 128, 0}, {255, 220, 0}, {0, 255, 64}, {0, 128, 255}, {160, 0, 255}}};
    return rows[k.row % rows.size()];
}

Rgb gaming(const BoardKey& k) {
    return k.gamingKey ? Rgb{255, 0, 0} : Rgb{0, 32, 96};
}

Rgb typing(const BoardKey& k) {
    return k.group == KeyGroup::Letters || k.group == KeyGroup::Digits ? Rgb{255, 255, 255}
                                                                       : Rgb{0, 180, 255};
}

Rgb zones(const BoardKey& k) {
    switch (k.group) {
        case KeyGroup::Escape:
        case KeyGroup::FunctionRow:
            return {255, 96, 0};
        case KeyGroup::Keypad:
            return {0, 255, 96};
        case KeyGroup::Navigation:
            return {160, 0, 255};
        case KeyGroup::Modifier:
            return {0, 96, 255};
        default:
            return {255, 255, 255};
    }
}

Rgb blank(const BoardKey&) {
    return kOff;
}

// Layouts 0..4 of the full-colour keyboard; the last is left for painting.
constexpr std::array<Rgb (*)(const BoardKey&), payload::kLayoutCount> kColourLayouts{
    rowRainbow, gaming, typing, zones, blank};

// Layouts 0..4 of the single-colour keyboard: which keys are lit.
bool allOn(const BoardKey&) {
    return true;
}
bool gamingOn(const BoardKey& k) {
    return k.gamingKey;
}
bool typingOn(const BoardKey& k) {
    return k.group == KeyGroup::Letters || k.group == KeyGroup::Digits;
}
bool zonesOn(const BoardKey& k) {
    return k.group == KeyGroup::FunctionRow || k.group == KeyGroup::Escape ||
           k.group == KeyGroup::Navigation || k.group == KeyGroup::Keypad;
}
bool noneOn(const BoardKey&) {
    return false;
}
constexpr std::array<bool (*)(const BoardKey&), payload::kLayoutCount> kOnOffLayouts{
    allOn, gamingOn, typingOn, zonesOn, noneOn};

}  // namespace

Bytes defaultMouseRecord() {
    const MouseDefaults& m = kMouseDefaults;
    Bytes r(payload::kStoredRecordBytes, 0);
    putLighting(r, m.lighting);
    r[rec::kReportRate] = m.reportRate;
    for (size_t level = 0; level < m.dpi.size(); ++level) {
        const size_t at = level < 4 ? rec::kDpiLevel1 + level : rec::kDpiLevel5 + (level - 4);
        r[at] = dpiCode(m.dpi[level]);
        r[rec::kDpiColours + 3 * level] = m.dpiColours[level].red;
        r[rec::kDpiColours + 3 * level + 1] = m.dpiColours[level].green;
        r[rec::kDpiColours + 3 * level + 2] = m.dpiColours[level].blue;
    }
    r[rec::kActiveDpiLevel] = m.activeLevel;
    r[rec::kDebounce] = debounceCode(m.debounceMs);
    r[rec::kLiftOffOn] = m.liftOffAdjust;
    r[rec::kLiftOffHeight] = m.liftOffHeight;
    r[payload::kPointerSpeedByte] = m.pointerSpeed;
    r[payload::kWheelLinesByte] = m.wheelLines;
    return r;
}

Bytes defaultMouseKeyBank() {
    Bytes bank(payload::kKeyBankBytes, 0);
    for (size_t b = 0; b < kMouseButtonDefaults.size(); ++b) {
        putKey(bank, b, kMouseButtonDefaults[b]);
    }
    return bank;
}

Bytes defaultKeyboardKeyBank(int keyboardVariant) {
    Bytes bank(payload::kKeyBankBytes, 0);
    const auto& map = keyMapOf(keyboardVariant);
    for (const BoardKey& k : boardKeys()) {
        const uint8_t position = map[k.control];
        if (position == kNoKeyPosition || (k.modifiers == 0 && k.usage == 0)) {
            continue;
        }
        putKey(bank, position, {kFunctionKey, k.modifiers, k.usage});
    }
    return bank;
}

Bytes defaultKeyboardLighting(int keyboardVariant) {
    Bytes p(payload::kKeyboardLightingBytes, 0);
    Bytes record(payload::kStoredRecordBytes, 0);
    putLighting(record, keyboardVariant == 1 ? kKeyboardLighting : kSingleColourKeyboardLighting);
    std::copy(record.begin(), record.end(), p.begin());
    // Layout index 0 (32-bit little-endian): already zero.
    const auto& map = keyMapOf(keyboardVariant);
    for (size_t layout = 0; layout < payload::kLayoutCount; ++layout) {
        const size_t base = payload::kLayoutsOffset + layout * payload::kLayoutBytes;
        for (const BoardKey& k : boardKeys()) {
            const uint8_t position = map[k.control];
            if (position == kNoKeyPosition) {
                continue;
            }
            if (keyboardVariant == 1) {
                const Rgb c = kColourLayouts[layout](k);
                p[base + 3 * position] = c.red;
                p[base + 3 * position + 1] = c.green;
                p[base + 3 * position + 2] = c.blue;
            } else {
                p[base + position] = kOnOffLayouts[layout](k) ? 255 : 0;
            }
        }
    }
    return p;
}

Bytes defaultMousepadRecord() {
    Bytes r(payload::kStoredRecordBytes, 0);
    putLighting(r, kMousepadLighting);
    return r;
}

Bytes defaultPayload(const ProfileCatalogue& catalogue, int keyboardVariant) {
    Bytes p;
    const auto add = [&p](const Bytes& part) { p.insert(p.end(), part.begin(), part.end()); };
    switch (catalogue.device()) {
        case DeviceKind::Mouse:
            if (catalogue.kind() != ProfileKind::Lighting) {
                add(defaultMouseKeyBank());
            }
            if (catalogue.kind() != ProfileKind::Key) {
                add(defaultMouseRecord());
            }
            break;
        case DeviceKind::Keyboard:
            if (catalogue.kind() != ProfileKind::Lighting) {
                add(defaultKeyboardKeyBank(keyboardVariant));
            }
            if (catalogue.kind() != ProfileKind::Key) {
                add(defaultKeyboardLighting(keyboardVariant));
            }
            break;
        case DeviceKind::Mousepad:
            add(defaultMousepadRecord());
            break;
    }
    p.resize(catalogue.payloadSize(), 0);
    return p;
}

std::vector<DefaultFile> defaultFiles() {
    std::vector<DefaultFile> files;
    for (const ProfileCatalogue& c : ProfileCatalogue::all()) {
        files.push_back({c.defaultFileName(0), c, 0});
        if (c.defaultFileName(1) != c.defaultFileName(0)) {
            files.push_back({c.defaultFileName(1), c, 1});
        }
    }
    return files;
}

bool writeDefaultProfileFiles(const std::filesystem::path& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    for (const DefaultFile& f : defaultFiles()) {
        const std::filesystem::path path = folder / f.name;
        if (!WriteProfileFile(path, defaultPayload(f.catalogue, f.keyboardVariant),
                              f.catalogue.kindCode())) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}

}  // namespace rxt
