#include "profile/catalogue_population.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "platform/ini_file.h"
#include "profile/profile_file.h"

namespace rxt {
namespace {

CatalogueListing createFirstEntry(const ProfileContext& ctx, const ProfileCatalogue& catalogue) {
    std::vector<uint8_t> content(catalogue.payloadSize(), 0);
    const int read = ReadProfileFile(
        DefaultProfileFile(catalogue, ctx.keyboardVariant(), ctx.defaultsFolder), content);
    if (read == kProfileMissing) {
        return {PopulateResult::NoDefault, {}, false, kMessageFileMissing};
    }
    if (read == kProfileBadFormat) {
        return {PopulateResult::BadDefault, {}, false, kMessageFileBadFormat};
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
        return {PopulateResult::WriteFailed, {}, false, {}};
    }
    return {written ? PopulateResult::Created : PopulateResult::WriteFailed,
            {std::string(kFirstProfileName)},
            true,
            {}};
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

CatalogueListing ListCatalogue(const ProfileContext& ctx, const ProfileCatalogue& catalogue) {
    int n = catalogue.ReadCount();
    if (n == 0) {
        return createFirstEntry(ctx, catalogue);
    }
    if (n > kMaxEntriesWithoutNames) {
        n = std::min(n, listableEntries(catalogue));
    }
    CatalogueListing listing{PopulateResult::Listed, {}, true, {}};
    for (int i = 0; i < n; ++i) {
        listing.names.push_back(catalogue.ReadName(i));
    }
    return listing;
}

}  // namespace rxt
