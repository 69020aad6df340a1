#pragma once
// Loading a catalogue entry's data file into the device images, saving the
// images into the selected entry's file, and applying a loaded profile to
// the device and the pages.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "lighting/keyboard_custom_layouts.h"
#include "profile/profile_catalogue.h"
#include "settings/host_pointer.h"
#include "state/device_images.h"
#include "state/window_events.h"

namespace rxt {

class DeviceLinks;
class SystemPointer;
class WriteBack;

// What the profile code works on. The state defaults to the process-wide
// images and values; tests give their own. Members left null are skipped
// (no device commands without links, nothing reported without a sink ...).
struct ProfileContext {
    DeviceImageSet* images = &deviceImages();
    KeyboardCustomLayouts* layouts = &keyboardCustomLayouts();
    HostPointerSettings* host = &hostPointerSettings();
    // The desktop's pointer settings: read by a mouse device load, set by
    // the apply steps.
    SystemPointer* system = nullptr;
    DeviceLinks* links = nullptr;
    // Marks a kind for the periodic write-back of its current record.
    WriteBack* writeBack = nullptr;
    // What the profile code reports to the window: page refreshes, the
    // pointer settings shown, the key page's function panel closed. UI thread.
    std::function<void(const WindowEvent&)> report;
    // Where the default profile files are read (empty: defaultProfileFolder()).
    std::filesystem::path defaultsFolder;

    int keyboardVariant() const { return images->keyboardVariant(); }
};

// Bytes of key bank 0 that belong to the mouse's own bank: 42 entries. The
// bank image holds 512 bytes read from device offset 0, so past these lie
// the next banks, which writing bank 0 must not overwrite.
inline constexpr uint16_t kMouseBankBytes = 126;

// WriteBank of bank 0 with key bank 0 as the images hold it now: the
// mouse's 126 bytes, the keyboard's key table (its link's block size). 0
// without links.
int WriteKeyBank0(const ProfileContext& ctx, DeviceKind kind);

// The payload of the catalogue's files from the images as they are now (no
// record refresh).
std::vector<uint8_t> buildPayload(const ProfileContext& ctx, const ProfileCatalogue& catalogue);
// Copies a payload (payloadSize() bytes) into the images and refreshes the
// copies derived from them: current record, host pointer values, custom
// layouts. A layout index outside 0..4 loads as 0.
void applyPayload(const ProfileContext& ctx, const ProfileCatalogue& catalogue,
                  std::span<const uint8_t> payload);

// Reads entry [index]'s data file into the images. Returns the
// ReadProfileFile result: 0 read, 1 missing ("配置文件丢失" in the debug
// log), -1 bad format ("配置文件格式错误"); on 1 and -1 no image changes.
// A name that cannot be a file name counts as missing.
int LoadProfileData(const ProfileContext& ctx, const ProfileCatalogue& catalogue, int index);

// Writes the images into the data file of the entry remembered in `select`
// (whatever the list shows): the stored record is refreshed from the
// current record first (mouse: bytes 52 and 53 from the host values).
// False when the file could not be written or the name is refused.
bool SaveSelectedProfile(const ProfileContext& ctx, const ProfileCatalogue& catalogue);

// What follows a load in the select operation: the pointer settings,
// applied and reported (mouse), page refreshes, WriteRecord / WriteBank of the
// loaded data and the write-back flag, in the catalogue's order.
void ApplyLoadedProfile(const ProfileContext& ctx, const ProfileCatalogue& catalogue);

}  // namespace rxt
