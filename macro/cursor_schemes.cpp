#include "macro/cursor_schemes.h"

#include <algorithm>
#include <system_error>

#include "macro/action_tables.h"
#include "macro/macro_file.h"
#include "macro/macro_ini_names.h"
#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/file_bytes.h"
#include "platform/file_names.h"
#include "platform/ini_file.h"
#include "platform/ini_text.h"
#include "platform/text_encoding.h"

namespace rxt {
namespace {

using namespace macro_ini;

constexpr uint8_t kCodeRight = 0x04;
constexpr uint8_t kCodeLeft = 0x84;
constexpr uint8_t kCodeDown = 0x05;
constexpr uint8_t kCodeUp = 0x85;

std::string_view moveName(uint8_t code) {
    for (size_t r = kMouseMoveRowLeft; r <= kMouseMoveRowDown; ++r) {
        if (kMouseActionTable[r].code == code) {
            return kMouseActionTable[r].name;
        }
    }
    return kMouseActionTable[kMouseMoveRowRight].name;
}

MacroAction still() {
    MacroAction a;
    a.code = kCodeDown;
    a.name = std::string(moveName(kCodeDown));
    return a;
}

std::optional<MacroAction> readStep(const std::filesystem::path& file, int i) {
    const std::optional<std::string> text = iniFind(file, kActionSection, std::to_string(i));
    if (!text) {
        return std::nullopt;
    }
    return parseAction(*text);
}

uint32_t digits(std::string_view text, uint32_t limit) {
    uint32_t v = 0;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = std::min<uint32_t>(v * 10 + static_cast<uint32_t>(text[i] - '0'), limit);
    }
    return v;
}

SchemeResult copyOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    const FileBytes bytes = readFileBytes(from);
    if (bytes.status != ReadStatus::Ok) {
        return {false, std::string(kMessageSchemeFileFailed)};
    }
    std::error_code ec;
    if (std::filesystem::equivalent(from, to, ec)) {
        return {true, {}};
    }
    if (!writeFileAtomic(to, bytes.bytes)) {
        return {false, std::string(kMessageSchemeFileFailed)};
    }
    return {true, {}};
}

}  // namespace

std::string cursorSchemeName(int scheme) {
    return "name_" + std::to_string(scheme + 1);
}

std::vector<std::string> cursorSchemeNames(const MacroCatalogue& catalogue) {
    const std::filesystem::path file = catalogue.path();
    const int count = iniReadInt(file, kCursorCountSection, kCountKey, 0);
    std::vector<std::string> names;
    for (int i = 0; i < count && i < kCursorSchemes; ++i) {
        std::string name = iniRead(file, kCursorNameSection, std::to_string(i), "0");
        if (isSafeFileName(name, kCursorExtension)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::optional<std::filesystem::path> cursorSchemeFile(const MacroCatalogue& catalogue,
                                                      std::string_view name) {
    if (!isSafeFileName(name, kCursorExtension) || checkFileName(name) != FileNameProblem::None) {
        return std::nullopt;
    }
    return fileInFolder(catalogue.folder(), std::string(name) + std::string(kCursorExtension));
}

std::vector<MacroAction> loadCursorScheme(const MacroCatalogue& catalogue, std::string_view name) {
    const std::optional<std::filesystem::path> file = cursorSchemeFile(catalogue, name);
    if (!file) {
        return {};
    }
    const FileBytes bytes = readFileBytes(*file);
    if (bytes.status != ReadStatus::Ok) {
        return {};
    }
    return parseMacroFileText(decodeText(bytes.bytes));
}

bool ensureCursorSchemes(const MacroCatalogue& catalogue,
                         const std::filesystem::path& defaultsFolder) {
    if (iniReadInt(catalogue.path(), kCursorCountSection, kCountKey, 0) != 0) {
        return false;
    }
    std::vector<std::string> names;
    std::vector<IniEdit> edits;
    for (int k = 0; k < kCursorSchemes; ++k) {
        names.push_back(cursorSchemeName(k));
    }
    const std::string count = std::to_string(kCursorSchemes);
    std::vector<std::string> keys;
    for (int k = 0; k < kCursorSchemes; ++k) {
        keys.push_back(std::to_string(k));
    }
    edits.push_back({kCursorCountSection, kCountKey, count});
    for (int k = 0; k < kCursorSchemes; ++k) {
        edits.push_back(
            {kCursorNameSection, keys[static_cast<size_t>(k)], names[static_cast<size_t>(k)]});
    }
    iniApply(catalogue.path(), edits);
    for (const std::string& name : names) {
        const std::filesystem::path to = *cursorSchemeFile(catalogue, name);
        std::error_code ec;
        if (std::filesystem::exists(to, ec)) {
            continue;
        }
        if (!copyOver(defaultsFolder / (name + std::string(kCursorExtension)), to).done) {
            debugLog("default cursor scheme missing: " + name);
        }
    }
    return true;
}

BulletValues loadBullet(const std::filesystem::path& file, int bullet) {
    BulletValues v;
    const int first = bullet * kCursorStepsPerBullet;
    const int count = iniReadInt(file, kActionCountSection, kCountKey, 0);
    if (bullet < 0 || bullet >= kCursorBullets || count < first + kCursorStepsPerBullet) {
        v.present = false;
        return v;
    }
    const std::optional<MacroAction> delay = readStep(file, first + 3);
    const std::optional<MacroAction> x = readStep(file, first + 4);
    const std::optional<MacroAction> y = readStep(file, first + 5);
    v.present = delay && x && y;
    if (delay) {
        v.delay = delay->delay;
    }
    if (x && x->kind() == kActionMoveHorizontal) {
        v.x = x->value;
        v.left = x->direction();
    }
    if (y && y->kind() == kActionMoveVertical) {
        v.y = y->value;
        v.up = y->direction();
    }
    return v;
}

bool saveBullet(const std::filesystem::path& file, int bullet, const BulletValues& values) {
    if (bullet < 0 || bullet >= kCursorBullets) {
        return false;
    }
    const int first = bullet * kCursorStepsPerBullet;
    const int count = iniReadInt(file, kActionCountSection, kCountKey, 0);
    std::vector<std::string> keys, records;
    // A short file is filled up to the bullet, so that what is written is
    // also what the readers (bounded by the count) see.
    const int end = std::max(count, first + kCursorStepsPerBullet);
    for (int i = std::min(count, first); i < end; ++i) {
        std::optional<MacroAction> a = i < count ? readStep(file, i) : std::nullopt;
        if (!a) {
            a = still();
        }
        if (i == first + 3) {
            a->delay = values.delay;
        } else if (i == first + 4) {
            a->value = values.x;
            a->code = values.left ? kCodeLeft : kCodeRight;
            a->name = std::string(moveName(a->code));
        } else if (i == first + 5) {
            a->value = values.y;
            a->code = values.up ? kCodeUp : kCodeDown;
            a->name = std::string(moveName(a->code));
        } else if (i >= count) {
            // A filled-in step.
        } else {
            continue;
        }
        keys.push_back(std::to_string(i));
        records.push_back(FormatActionRecord(*a));
    }
    const std::string countText = std::to_string(end);
    std::vector<IniEdit> edits;
    if (end != count) {
        edits.push_back({kActionCountSection, kCountKey, countText});
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        edits.push_back({kActionSection, keys[i], records[i]});
    }
    return iniApply(file, edits);
}

uint16_t clampBulletDelay(std::string_view text) {
    return static_cast<uint16_t>(digits(text, 65535));
}

uint8_t clampBulletMove(std::string_view text) {
    return static_cast<uint8_t>(digits(text, 255));
}

SchemeResult resetCursorScheme(const std::filesystem::path& file,
                               const std::filesystem::path& defaultsFolder) {
    return copyOver(defaultsFolder / file.filename(), file);
}

SchemeResult importCursorScheme(const std::filesystem::path& file,
                                const std::filesystem::path& source) {
    const FileBytes bytes = readFileBytes(source);
    if (bytes.status != ReadStatus::Ok) {
        return {false, std::string(kMessageSchemeFileFailed)};
    }
    if (iniReadInt(source, kActionCountSection, kCountKey, 0) > kCursorSchemeSteps) {
        return {false, std::string(kMessageSchemeTooLong)};
    }
    return copyOver(source, file);
}

SchemeResult exportCursorScheme(const std::filesystem::path& file,
                                const std::filesystem::path& destination) {
    return copyOver(file, destination);
}

std::string cursorSchemeText(std::string_view name, const std::vector<MacroAction>& steps) {
    std::string text;
    text = applyIniEdit(text, {kActionCountSection, kCountKey, std::to_string(steps.size())});
    for (size_t i = 0; i < steps.size(); ++i) {
        text =
            applyIniEdit(text, {kActionSection, std::to_string(i), FormatActionRecord(steps[i])});
    }
    return applyIniEdit(text, {kSelectNameSection, kNameKey, name});
}

}  // namespace rxt
