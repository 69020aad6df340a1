#include "platform/ini_file.h"

#include <climits>
#include <mutex>

#include "platform/atomic_file.h"
#include "platform/file_bytes.h"
#include "platform/text_encoding.h"
#include "platform/write_failures.h"

#include <sys/stat.h>

#include <cerrno>

namespace rxt {
namespace {

// Ini files are small; anything larger is not one of ours.
constexpr size_t kMaxIniBytes = size_t{32} << 20;

// Decoded text of a file, viewing the read bytes when they are UTF-8 already.
struct IniSource {
    FileBytes file;
    std::string converted;
    std::string_view text;
    TextEncoding encoding = TextEncoding::Utf8;
};

bool load(const std::filesystem::path& path, IniSource& src) {
    src.file = readFileBytes(path, kMaxIniBytes);
    if (src.file.status != ReadStatus::Ok) {
        return false;
    }
    size_t bom = 0;
    src.encoding = detectEncoding(src.file.bytes, &bom);
    if (src.encoding == TextEncoding::Utf8 || src.encoding == TextEncoding::Utf8Bom) {
        src.text = std::string_view(src.file.bytes).substr(bom);
    } else {
        src.converted = decodeText(src.file.bytes);
        src.text = src.converted;
    }
    return true;
}

std::string capped(std::string_view value) {
    return std::string(value.substr(0, prefixWithinUtf16Units(value, kIniValueMaxUnits)));
}

std::string withLfBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}

std::mutex& writerMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

int leadingDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) {
            return INT_MAX;
        }
    }
    return static_cast<int>(value);
}

std::optional<std::string> iniFind(const std::filesystem::path& file, std::string_view section,
                                   std::string_view key) {
    IniSource src;
    if (!load(file, src)) {
        return std::nullopt;
    }
    const std::optional<std::string_view> value = findIniValue(src.text, section, key);
    if (!value) {
        return std::nullopt;
    }
    return capped(*value);
}

std::string iniRead(const std::filesystem::path& file, std::string_view section,
                    std::string_view key, std::string_view defaultValue) {
    std::optional<std::string> value = iniFind(file, section, key);
    return value ? std::move(*value) : capped(defaultValue);
}

int iniReadInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
               int defaultValue) {
    const std::optional<std::string> value = iniFind(file, section, key);
    if (!value || value->empty()) {
        return defaultValue;
    }
    return leadingDecimal(*value);
}

std::vector<std::string> iniSectionNames(const std::filesystem::path& file) {
    IniSource src;
    return load(file, src) ? listIniSections(src.text) : std::vector<std::string>{};
}

std::vector<std::string> iniKeyNames(const std::filesystem::path& file, std::string_view section) {
    IniSource src;
    return load(file, src) ? listIniKeys(src.text, section) : std::vector<std::string>{};
}

namespace {

// Why a file that is there could not be read, as the write reports it.
int unreadableReason(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        return errno;
    }
    return S_ISDIR(st.st_mode) ? EISDIR : EACCES;
}

}  // namespace

bool iniApply(const std::filesystem::path& file, std::span<const IniEdit> edits) {
    for (const IniEdit& edit : edits) {
        if (!isWritableIniEdit(edit)) {
            return false;
        }
    }
    std::lock_guard lock(writerMutex());
    IniSource src;
    if (!load(file, src) && src.file.status != ReadStatus::Missing) {
        // Never replace a file that exists but could not be read.
        noteWriteResult(file, unreadableReason(file));
        return false;
    }
    const std::string original = withLfBreaks(src.text);
    std::string text = original;
    for (const IniEdit& edit : edits) {
        text = applyIniEdit(text, edit);
    }
    if (text == original) {
        return true;
    }
    if (src.encoding == TextEncoding::Utf8Bom) {
        text.insert(0, "\xEF\xBB\xBF");
    }
    return writeFileAtomic(file, text);
}

bool iniWrite(const std::filesystem::path& file, std::string_view section, std::string_view key,
              std::string_view value) {
    const IniEdit edit{section, key, value};
    return iniApply(file, std::span(&edit, 1));
}

bool iniDeleteKey(const std::filesystem::path& file, std::string_view section,
                  std::string_view key) {
    const IniEdit edit{section, key, std::nullopt};
    return iniApply(file, std::span(&edit, 1));
}

bool iniDeleteSection(const std::filesystem::path& file, std::string_view section) {
    const IniEdit edit{section, std::nullopt, std::nullopt};
    return iniApply(file, std::span(&edit, 1));
}

}  // namespace rxt
