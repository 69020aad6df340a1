// GNOME's mouse speed through GIO: the only pointer-speed setting a client
// may change under GNOME on Wayland. GNOME has no wheel-lines setting, so
// those are kept in the settings file only, as is a copy of the speed.
//
// Mapping of the 1..20 scale onto the setting's -1..1: (speed - 10) / 10,
// so 10 is GNOME's default 0 and 20 its fastest 1; reading rounds back.

#include <algorithm>
#include <cmath>
#include <mutex>

#include "platform/system_pointer.h"

#ifdef RXT_HAVE_GIO
#include <gio/gio.h>
#endif

namespace rxt {

#ifdef RXT_HAVE_GIO
namespace {

constexpr const char* kSchema = "org.gnome.desktop.peripherals.mouse";
constexpr const char* kSpeedKey = "speed";

class GSettingsSystemPointer final : public SystemPointer {
  public:
    GSettingsSystemPointer(GSettings* settings, std::unique_ptr<SystemPointer> file)
        : settings_(settings), file_(std::move(file)) {}
    ~GSettingsSystemPointer() override { g_object_unref(settings_); }
    GSettingsSystemPointer(const GSettingsSystemPointer&) = delete;
    GSettingsSystemPointer& operator=(const GSettingsSystemPointer&) = delete;

    int pointerSpeed() override {
        std::lock_guard lock(mutex_);
        const double value = g_settings_get_double(settings_, kSpeedKey);
        return std::clamp(static_cast<int>(std::lround(value * 10.0)) + kDefaultSpeed, kMinSpeed,
                          kMaxSpeed);
    }

    int wheelScrollLines() override { return file_->wheelScrollLines(); }

    bool setPointerSpeed(int speed) override {
        if (speed < kMinSpeed || speed > kMaxSpeed) {
            return false;
        }
        bool applied = false;
        {
            std::lock_guard lock(mutex_);
            applied = g_settings_set_double(settings_, kSpeedKey, (speed - kDefaultSpeed) / 10.0);
            g_settings_sync();
        }
        return file_->setPointerSpeed(speed) && applied;
    }

    bool setWheelScrollLines(int lines) override { return file_->setWheelScrollLines(lines); }
    std::string_view backendName() const override { return "GSettings"; }

  private:
    std::mutex mutex_;
    GSettings* settings_;
    std::unique_ptr<SystemPointer> file_;
};

}  // namespace

std::unique_ptr<SystemPointer> makeGSettingsSystemPointer(std::filesystem::path file) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr) {
        return nullptr;
    }
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, kSchema, TRUE);
    if (schema == nullptr) {
        return nullptr;
    }
    const bool hasSpeed = g_settings_schema_has_key(schema, kSpeedKey);
    GSettings* settings = hasSpeed ? g_settings_new_full(schema, nullptr, nullptr) : nullptr;
    g_settings_schema_unref(schema);
    if (settings == nullptr) {
        return nullptr;
    }
    return std::make_unique<GSettingsSystemPointer>(settings,
                                                    makeFileSystemPointer(std::move(file)));
}

#else

std::unique_ptr<SystemPointer> makeGSettingsSystemPointer(std::filesystem::path) {
    return nullptr;
}

#endif

}  // namespace rxt
