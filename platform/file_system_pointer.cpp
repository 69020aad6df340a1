#include <algorithm>
#include <array>
#include <mutex>
#include <optional>
#include <string>

#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/system_pointer.h"

namespace rxt {
namespace {

constexpr std::string_view kSection = "POINTER";
constexpr std::string_view kSpeedKey = "MOUSESPEED";
constexpr std::string_view kWheelKey = "WHEELSCROLLLINES";

struct Setting {
    std::string_view key;
    int minimum;
    int maximum;
    int fallback;
};
constexpr Setting kSpeed{kSpeedKey, SystemPointer::kMinSpeed, SystemPointer::kMaxSpeed,
                         SystemPointer::kDefaultSpeed};
constexpr Setting kWheel{kWheelKey, SystemPointer::kMinWheelLines, SystemPointer::kMaxWheelLines,
                         SystemPointer::kDefaultWheelLines};

// One writer at a time, so that setting one value never writes back a stale
// copy of the other.
std::mutex& settingsMutex() {
    static std::mutex m;
    return m;
}

class FileSystemPointer final : public SystemPointer {
  public:
    explicit FileSystemPointer(std::filesystem::path file) : file_(std::move(file)) {}

    int pointerSpeed() override { return read(kSpeed); }
    int wheelScrollLines() override { return read(kWheel); }
    bool setPointerSpeed(int speed) override { return write(kSpeed, speed, kWheel); }
    bool setWheelScrollLines(int lines) override { return write(kWheel, lines, kSpeed); }
    std::string_view backendName() const override { return "settings file"; }

  private:
    int read(const Setting& s) const {
        const std::optional<std::string> text = iniFind(file_, kSection, s.key);
        const bool numeric = text && !text->empty() && (*text)[0] >= '0' && (*text)[0] <= '9';
        return numeric ? std::clamp(leadingDecimal(*text), s.minimum, s.maximum) : s.fallback;
    }

    // Writes both values every time, so the file always holds both.
    bool write(const Setting& s, int value, const Setting& other) {
        if (value < s.minimum || value > s.maximum) {
            return false;
        }
        std::lock_guard lock(settingsMutex());
        const std::string otherValue = std::to_string(read(other));
        const std::string newValue = std::to_string(value);
        std::error_code ec;
        std::filesystem::create_directories(file_.parent_path(), ec);
        const std::array<IniEdit, 2> edits{IniEdit{kSection, s.key, newValue},
                                           IniEdit{kSection, other.key, otherValue}};
        return iniApply(file_, edits);
    }

    std::filesystem::path file_;
};

}  // namespace

std::unique_ptr<SystemPointer> makeFileSystemPointer(std::filesystem::path file) {
    return std::make_unique<FileSystemPointer>(std::move(file));
}

std::filesystem::path defaultPointerSettingsFile() {
    return appConfigFolder() / "pointer.ini";
}

}  // namespace rxt
