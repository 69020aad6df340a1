#include "profile/catalogue_population.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <vector>

#include "app/ui/skin_ui.h"
#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "profile/profile_file.h"

namespace rxt {
namespace {

void addEntry(const ProfileContext& ctx, const ProfileCatalogue& catalogue, std::string_view name) {
    if (ctx.ui != nullptr) {
        ctx.ui->addItem(catalogue.listName(), ui::Item{std::string(name), std::string(name)});
    }
}

// A combo box selects its first item as it gets it; the lists start with no
// selection, which the arrival of the device or the user then makes.
void clearSelection(const ProfileContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui != nullptr) {
        ctx.ui->setCurrentIndex(catalogue.listName(), -1);
    }
}

void showMessage(const ProfileContext& ctx, std::string_view key) {
    if (ctx.ui != nullptr) {
        ctx.ui->messageBox("", key, true);
    }
}

PopulateResult createFirstEntry(const ProfileContext& ctx, const ProfileCatalogue& catalogue) {
    std::vector<uint8_t> content(catalogue.payloadSize(), 0);
    const int read = ReadProfileFile(
        DefaultProfileFile(catalogue, ctx.keyboardVariant(), ctx.defaultsFolder), content);
    if (read == kProfileMissing) {
        showMessage(ctx, kMessageFileMissing);
        return PopulateResult::NoDefault;
    }
    if (read == kProfileBadFormat) {
        showMessage(ctx, kMessageFileBadFormat);
        return PopulateResult::BadDefault;
    }
    const std::optional<std::filesystem::path> file = catalogue.dataFile(kFirstProfileName);
    const bool written = file && WriteProfileFile(*file, content, catalogue.kindCode());

    // One atomic change, so that an interrupted start never leaves a count
    // without its name.
    const CatalogueSections& s = catalogue.sections();
    const std::array<IniEdit, 4> edits{{
        {s.count, kCountKey, "1"},
        {s.linkFlag, "0", "0"},
        {s.name, "0", kFirstProfileName},
        {s.select, kSelectKey, "0"},
    }};
    if (!iniApply(catalogue.path(), edits)) {
        debugLogf("profile catalogue cannot be written: %s", catalogue.path().c_str());
        return PopulateResult::WriteFailed;
    }
    addEntry(ctx, catalogue, kFirstProfileName);
    clearSelection(ctx, catalogue);
    return written ? PopulateResult::Created : PopulateResult::WriteFailed;
}

// A count beyond the names the catalogue holds lists at most this many
// entries more: a damaged count must not make the start read made-up entries
// for ever.
constexpr int kMaxEntriesWithoutNames = 100;

// How many entries a count larger than kMaxEntriesWithoutNames may list: up
// to the highest stored name, but never far beyond the number of names.
int listableEntries(const ProfileCatalogue& catalogue) {
    const std::vector<std::string> keys = iniKeyNames(catalogue.path(), catalogue.sections().name);
    long long highest = -1;
    for (const std::string& key : keys) {
        if (!key.empty() && key.find_first_not_of("0123456789") == std::string::npos) {
            highest = std::max<long long>(highest, leadingDecimal(key));
        }
    }
    const long long bound = std::min<long long>(
        highest + 1, static_cast<long long>(keys.size()) + kMaxEntriesWithoutNames);
    return static_cast<int>(std::max<long long>(kMaxEntriesWithoutNames, bound));
}

}  // namespace

PopulateResult PopulateCatalogue(const ProfileContext& ctx, const ProfileCatalogue& catalogue) {
    int n = catalogue.ReadCount();
    if (n == 0) {
        return createFirstEntry(ctx, catalogue);
    }
    if (n > kMaxEntriesWithoutNames) {
        n = std::min(n, listableEntries(catalogue));
    }
    for (int i = 0; i < n; ++i) {
        addEntry(ctx, catalogue, catalogue.ReadName(i));
    }
    clearSelection(ctx, catalogue);
    return PopulateResult::Listed;
}

void PopulateCatalogues(const ProfileContext& ctx) {
    for (const ProfileCatalogue& catalogue : ProfileCatalogue::all()) {
        PopulateCatalogue(ctx, catalogue);
    }
}

}  // namespace rxt
