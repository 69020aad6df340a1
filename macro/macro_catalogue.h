#pragma once
// The macros of one device kind on disk: the catalogue "msMacro.ini" or
// "kbMacro.ini" listing the names in order (a key assigned a macro refers to
// its position), and one "<name>.mac" file per saved macro, both in the
// kind's folder of the data folder. Every call reads or writes the files
// themselves; nothing is cached.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_kind.h"
#include "macro/macro_action.h"

namespace rxt {

inline constexpr int kMaxMacros = 50;
inline constexpr std::string_view kMacroExtension = ".mac";

// Message keys of the refusals.
inline constexpr std::string_view kMessageMacroLimit = "message_text_17";  // "%d": the limit
inline constexpr std::string_view kMessageMacroNameTaken = "message_text_5";
inline constexpr std::string_view kMessageMacroNameInvalid = "message_text_macro_name_invalid";
// A file to import or export could not be read or written.
inline constexpr std::string_view kMessageMacroFileFailed = "message_text_macro_file_failed";

class MacroCatalogue {
  public:
    // The mouse or the keyboard.
    explicit MacroCatalogue(DeviceKind kind);

    DeviceKind kind() const { return kind_; }
    // The kind's folder (created when missing) and its catalogue file.
    std::filesystem::path folder() const;
    std::filesystem::path path() const;

    // MACROCOUNT/count (missing: 0) and MACRONAME/<i> (missing: "0").
    int ReadCount() const;
    std::string ReadName(int index) const;
    // The names in catalogue order, MACRONAME/0 .. count-1.
    std::vector<std::string> LoadCatalogue() const;

    // nullopt when the name may be a macro (and so a file name), else the
    // message key to show.
    static std::optional<std::string_view> nameProblem(std::string_view name);
    // The macro file of a name (an existing one in another letter case is
    // found); nullopt for a name that cannot be a file name.
    std::optional<std::filesystem::path> macroFile(std::string_view name) const;

  private:
    DeviceKind kind_;
};

// The steps stored in the macro's file, up to its count; a missing file reads
// as no steps, a malformed record is skipped (said at debug level).
std::vector<MacroAction> LoadMacro(const MacroCatalogue& catalogue, std::string_view name);

// What an operation did; `message` is the key of the refusal to show.
struct MacroResult {
    bool done = false;
    std::string message;

    static MacroResult ok() { return {true, {}}; }
    static MacroResult refused(std::string_view key) { return {false, std::string(key)}; }
};

// "name_<count+1>", the number growing while a name of the list has it
// (without regard to case).
std::string nextMacroName(const std::vector<std::string>& names);

// Appends a new name to `names` (the list on screen, in catalogue order) and
// to the catalogue; refused at kMaxMacros. No macro file is written.
MacroResult AddMacroName(const MacroCatalogue& catalogue, std::vector<std::string>& names);

// Writes the selected macro's steps, key by key over what its file held.
MacroResult SaveMacro(const MacroCatalogue& catalogue, const std::vector<std::string>& names,
                      int selected, const std::vector<MacroAction>& steps);

enum class RenameOutcome { Unchanged, Renamed, Refused };
struct RenameResult {
    RenameOutcome outcome = RenameOutcome::Unchanged;
    std::string message;
};
// Saves the steps into the old file, moves it to the new name's file and
// renames the entry. An empty name or the macro's own name changes nothing; a
// name of another macro or one that cannot be a file name is refused and
// nothing on disk changes.
RenameResult RenameMacro(const MacroCatalogue& catalogue, std::vector<std::string>& names,
                         int selected, std::string_view newName,
                         const std::vector<MacroAction>& steps);

// Deletes the macro's file, removes the name and writes the catalogue anew
// (the mouse's with its cursor scheme entries).
MacroResult DeleteMacro(const MacroCatalogue& catalogue, std::vector<std::string>& names,
                        int selected);

// Adds a macro and copies the chosen file byte for byte to its macro file.
// Refused, with every file untouched, at kMaxMacros or when the source cannot
// be read.
MacroResult ImportMacro(const MacroCatalogue& catalogue, std::vector<std::string>& names,
                        const std::filesystem::path& source);
// Copies the macro's file byte for byte to the destination (replacing it).
MacroResult ExportMacro(const MacroCatalogue& catalogue, std::string_view name,
                        const std::filesystem::path& destination);

// rxtctl macro list: "INDEX NAME" per macro, in catalogue order (the
// position a key's assignment plays).
std::vector<std::string> macroListing(const MacroCatalogue& catalogue);

}  // namespace rxt
