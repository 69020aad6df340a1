#include "macro/macro_catalogue.h"

#include "macro/macro_file.h"

#include <system_error>

#include "macro/macro_ini_names.h"
#include "platform/atomic_file.h"
#include "platform/debug_log.h"
#include "platform/file_bytes.h"
#include "platform/file_names.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"

namespace rxt {

namespace {

using namespace macro_ini;

constexpr std::string_view kDefault = "0";
constexpr int kCursorSchemes = 4;

std::string key(int i) {
    return std::to_string(i);
}

bool validIndex(const std::vector<std::string>& names, int i) {
    return i >= 0 && static_cast<size_t>(i) < names.size();
}

// MACROCOUNT/count and MACRONAME/<count-1>, as adding and saving write them.
void writeCountAndLast(const MacroCatalogue& catalogue, const std::vector<std::string>& names) {
    const std::string count = std::to_string(names.size());
    const std::string last =
        names.empty() ? std::string() : key(static_cast<int>(names.size()) - 1);
    std::vector<IniEdit> edits{{kCountSection, kCountKey, count}};
    if (!names.empty()) {
        edits.push_back({kNameSection, last, names.back()});
    }
    iniApply(catalogue.path(), edits);
}

// MACROACTIONCOUNT and every MACROACTION key, over what the file held.
void writeSteps(const std::filesystem::path& file, const std::vector<MacroAction>& steps,
                std::optional<std::string_view> selectName) {
    std::vector<std::string> keys, records;
    keys.reserve(steps.size());
    records.reserve(steps.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        keys.push_back(key(static_cast<int>(i)));
        records.push_back(FormatActionRecord(steps[i]));
    }
    const std::string count = std::to_string(steps.size());
    std::vector<IniEdit> edits{{kActionCountSection, kCountKey, count}};
    if (selectName) {
        edits.push_back({kSelectNameSection, kNameKey, *selectName});
    }
    for (size_t i = 0; i < steps.size(); ++i) {
        edits.push_back({kActionSection, keys[i], records[i]});
    }
    iniApply(file, edits);
}

}  // namespace

MacroCatalogue::MacroCatalogue(DeviceKind kind) : kind_(kind) {}

std::filesystem::path MacroCatalogue::folder() const {
    return profileFolderPath(kindPrefix(kind_));
}

std::filesystem::path MacroCatalogue::path() const {
    return fileInFolder(folder(), std::string(kindPrefix(kind_)) + "Macro.ini");
}

int MacroCatalogue::ReadCount() const {
    return iniReadInt(path(), kCountSection, kCountKey, 0);
}

std::string MacroCatalogue::ReadName(int index) const {
    return iniRead(path(), kNameSection, key(index), kDefault);
}

std::vector<std::string> MacroCatalogue::LoadCatalogue() const {
    const std::filesystem::path file = path();
    const int count = iniReadInt(file, kCountSection, kCountKey, 0);
    std::vector<std::string> names;
    for (int i = 0; i < count && i < kMaxMacros * 4; ++i) {
        names.push_back(iniRead(file, kNameSection, key(i), kDefault));
    }
    return names;
}

std::optional<std::string_view> MacroCatalogue::nameProblem(std::string_view name) {
    // The profile names' rule; ".." is refused too although "...mac" would
    // stay in the folder, since the name alone reads as the parent folder.
    if (checkFileName(name, kMacroExtension) != FileNameProblem::None ||
        checkFileName(name) == FileNameProblem::DotName) {
        return kMessageMacroNameInvalid;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> MacroCatalogue::macroFile(std::string_view name) const {
    if (nameProblem(name)) {
        return std::nullopt;
    }
    return fileInFolder(folder(), std::string(name) + std::string(kMacroExtension));
}

std::vector<MacroAction> LoadMacro(const MacroCatalogue& catalogue, std::string_view name) {
    const std::optional<std::filesystem::path> file = catalogue.macroFile(name);
    if (!file) {
        return {};
    }
    const FileBytes bytes = readFileBytes(*file);
    if (bytes.status != ReadStatus::Ok) {
        return {};
    }
    return parseMacroFileText(decodeText(bytes.bytes));
}

std::string nextMacroName(const std::vector<std::string>& names) {
    for (size_t n = names.size() + 1;; ++n) {
        const std::string candidate = "name_" + std::to_string(n);
        bool taken = false;
        for (const std::string& existing : names) {
            taken = taken || equalsIgnoreCase(existing, candidate);
        }
        if (!taken) {
            return candidate;
        }
    }
}

MacroResult AddMacroName(const MacroCatalogue& catalogue, std::vector<std::string>& names) {
    if (names.size() >= static_cast<size_t>(kMaxMacros)) {
        return MacroResult::refused(kMessageMacroLimit);
    }
    names.push_back(nextMacroName(names));
    writeCountAndLast(catalogue, names);
    return MacroResult::ok();
}

MacroResult SaveMacro(const MacroCatalogue& catalogue, const std::vector<std::string>& names,
                      int selected, const std::vector<MacroAction>& steps) {
    if (!validIndex(names, selected)) {
        return MacroResult::refused({});
    }
    writeCountAndLast(catalogue, names);
    // The name the catalogue holds at that position names the file.
    const std::string stored = catalogue.ReadName(selected);
    const std::optional<std::filesystem::path> file = catalogue.macroFile(stored);
    if (!file) {
        return MacroResult::refused(kMessageMacroNameInvalid);
    }
    writeSteps(*file, steps, stored);
    return MacroResult::ok();
}

RenameResult RenameMacro(const MacroCatalogue& catalogue, std::vector<std::string>& names,
                         int selected, std::string_view newName,
                         const std::vector<MacroAction>& steps) {
    if (!validIndex(names, selected) || newName.empty() || newName == names[selected]) {
        return {};
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (static_cast<int>(i) != selected && equalsIgnoreCase(names[i], newName)) {
            return {RenameOutcome::Refused, std::string(kMessageMacroNameTaken)};
        }
    }
    if (auto problem = MacroCatalogue::nameProblem(newName)) {
        return {RenameOutcome::Refused, std::string(*problem)};
    }
    const std::optional<std::filesystem::path> oldFile = catalogue.macroFile(names[selected]);
    if (!oldFile) {
        // An entry no file can have (a catalogue edited by hand): only the
        // entry is renamed, and the steps go to the new name's file.
        names[selected] = std::string(newName);
        iniWrite(catalogue.path(), kNameSection, key(selected), newName);
        writeSteps(*catalogue.macroFile(newName), steps, newName);
        return {RenameOutcome::Renamed, {}};
    }
    writeSteps(*oldFile, steps, std::nullopt);
    const std::filesystem::path newFile =
        catalogue.folder() / (std::string(newName) + std::string(kMacroExtension));
    std::error_code ec;
    std::filesystem::rename(*oldFile, newFile, ec);
    if (ec) {
        debugLog("macro file could not be moved to its new name");
    }
    iniWrite(ec ? *oldFile : newFile, kSelectNameSection, kNameKey, newName);
    names[selected] = std::string(newName);
    iniWrite(catalogue.path(), kNameSection, key(selected), newName);
    return {RenameOutcome::Renamed, {}};
}

MacroResult DeleteMacro(const MacroCatalogue& catalogue, std::vector<std::string>& names,
                        int selected) {
    if (!validIndex(names, selected)) {
        return MacroResult::refused({});
    }
    if (const std::optional<std::filesystem::path> file = catalogue.macroFile(names[selected])) {
        std::error_code ec;
        std::filesystem::remove(*file, ec);
    }
    names.erase(names.begin() + selected);
    // The catalogue written anew in one replacement of the file.
    std::vector<std::string> keys;
    for (size_t i = 0; i < names.size(); ++i) {
        keys.push_back(key(static_cast<int>(i)));
    }
    const std::string count = std::to_string(names.size());
    std::string text = applyIniEdit("", {kCountSection, kCountKey, count});
    if (catalogue.kind() == DeviceKind::Mouse) {
        text = applyIniEdit(text, {kCursorCountSection, kCountKey, std::to_string(kCursorSchemes)});
        for (int i = 0; i < kCursorSchemes; ++i) {
            const std::string k = key(i), v = "name_" + std::to_string(i + 1);
            text = applyIniEdit(text, {kCursorNameSection, k, v});
        }
    }
    for (size_t i = 0; i < names.size(); ++i) {
        text = applyIniEdit(text, {kNameSection, keys[i], names[i]});
    }
    writeFileAtomic(catalogue.path(), text);
    return MacroResult::ok();
}

MacroResult ImportMacro(const MacroCatalogue& catalogue, std::vector<std::string>& names,
                        const std::filesystem::path& source) {
    if (names.size() >= static_cast<size_t>(kMaxMacros)) {
        return MacroResult::refused(kMessageMacroLimit);
    }
    const FileBytes bytes = readFileBytes(source);
    if (bytes.status != ReadStatus::Ok) {
        return MacroResult::refused(kMessageMacroFileFailed);
    }
    AddMacroName(catalogue, names);
    const std::optional<std::filesystem::path> file = catalogue.macroFile(names.back());
    if (file && !writeFileAtomic(*file, bytes.bytes)) {
        debugLog("imported macro file could not be written");
    }
    return MacroResult::ok();
}

MacroResult ExportMacro(const MacroCatalogue& catalogue, std::string_view name,
                        const std::filesystem::path& destination) {
    const std::optional<std::filesystem::path> file = catalogue.macroFile(name);
    if (!file) {
        return MacroResult::refused(kMessageMacroNameInvalid);
    }
    FileBytes bytes = readFileBytes(*file);
    if (bytes.status == ReadStatus::Missing) {
        // Never saved: the file it would have with no steps.
        bytes.bytes = applyIniEdit("", {kActionCountSection, kCountKey, "0"});
        bytes.bytes = applyIniEdit(bytes.bytes, {kSelectNameSection, kNameKey, name});
    } else if (bytes.status != ReadStatus::Ok) {
        return MacroResult::refused(kMessageMacroFileFailed);
    }
    std::error_code ec;
    if (std::filesystem::equivalent(*file, destination, ec)) {
        return MacroResult::ok();
    }
    if (!writeFileAtomic(destination, bytes.bytes)) {
        return MacroResult::refused(kMessageMacroFileFailed);
    }
    return MacroResult::ok();
}

std::vector<std::string> macroListing(const MacroCatalogue& catalogue) {
    std::vector<std::string> lines;
    const std::vector<std::string> names = catalogue.LoadCatalogue();
    for (size_t i = 0; i < names.size(); ++i) {
        lines.push_back(std::to_string(i) + " " + names[i]);
    }
    return lines;
}

}  // namespace rxt
