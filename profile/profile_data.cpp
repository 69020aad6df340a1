#include "profile/profile_data.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/debug_log.h"
#include "platform/system_pointer.h"
#include "profile/profile_file.h"
#include "profile/profile_payload.h"
#include "state/device_links.h"
#include "state/write_back.h"

namespace rxt {
namespace {

static_assert(kMouseBankBytes == kBankStride);

using Bytes = std::vector<uint8_t>;

void append(Bytes& out, std::span<const uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

template <size_t N>
void appendImage(Bytes& out, const ByteImage<N>& image, size_t offset, size_t count) {
    const size_t at = out.size();
    out.resize(at + count, 0);
    image.copyOut(offset, std::span(out).subspan(at, count));
}

void appendKeyboardLighting(const ProfileContext& ctx, Bytes& out) {
    appendImage(out, ctx.images->keyboard.records, 0, payload::kStoredRecordBytes);
    const auto index = static_cast<uint32_t>(ctx.layouts->index.load());
    const std::array<uint8_t, 4> le{static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8),
                                    static_cast<uint8_t>(index >> 16),
                                    static_cast<uint8_t>(index >> 24)};
    append(out, le);
    appendImage(out, ctx.layouts->layouts, 0, ctx.layouts->layouts.size());
}

// The current record of a kind from the first bytes of its record 0.
void currentFromRecord0(DeviceImages& images) {
    std::array<uint8_t, kMouseCurrentRecordSize> head{};
    images.records.copyOut(0, head);
    images.current.copyIn(0, std::span(head).first(images.currentSize()));
}

void loadKeyboardLighting(const ProfileContext& ctx, std::span<const uint8_t> p) {
    DeviceImages& kb = ctx.images->keyboard;
    kb.records.copyIn(0, p.first(payload::kStoredRecordBytes));
    currentFromRecord0(kb);
    const uint32_t index = static_cast<uint32_t>(p[payload::kLayoutIndexOffset]) |
                           (static_cast<uint32_t>(p[payload::kLayoutIndexOffset + 1]) << 8) |
                           (static_cast<uint32_t>(p[payload::kLayoutIndexOffset + 2]) << 16) |
                           (static_cast<uint32_t>(p[payload::kLayoutIndexOffset + 3]) << 24);
    // A layout index from a file is used to address the layouts: keep it in range.
    ctx.layouts->index.store(index < payload::kLayoutCount ? static_cast<int>(index) : 0);
    ctx.layouts->layouts.copyIn(
        0, p.subspan(payload::kLayoutsOffset, payload::kLayoutCount * payload::kLayoutBytes));
}

// The stored record takes the current record (and, for the mouse, the host
// pointer values) before it is saved.
void refreshStoredRecord(const ProfileContext& ctx, DeviceKind kind) {
    DeviceImages& images = ctx.images->of(kind);
    std::array<uint8_t, kMouseCurrentRecordSize> current{};
    images.current.copyOut(0, current);
    images.records.copyIn(0, std::span(current).first(images.currentSize()));
    if (kind == DeviceKind::Mouse) {
        images.records.set(payload::kPointerSpeedByte,
                           static_cast<uint8_t>(clampPointerSpeed(ctx.host->pointerSpeed.load())));
        images.records.set(payload::kWheelLinesByte,
                           static_cast<uint8_t>(clampWheelLines(ctx.host->wheelLines.load())));
    }
}

bool holdsStoredRecord(const ProfileCatalogue& catalogue) {
    return catalogue.kind() != ProfileKind::Key;
}

void report(const ProfileContext& ctx, const WindowEvent& event) {
    if (ctx.report) {
        ctx.report(event);
    }
}

void refresh(const ProfileContext& ctx, Page page) {
    report(ctx, event::PageRefresh{page});
}

void markPending(const ProfileContext& ctx, DeviceKind kind) {
    if (ctx.writeBack != nullptr) {
        ctx.writeBack->markPending(kind);
    }
}

// The slider shows a speed s at position s / 2 - 1.
void showPointerSpeed(const ProfileContext& ctx) {
    report(ctx, event::PointerSliderShown{ctx.host->pointerSpeed.load() / 2 - 1});
}

void applyPointerSpeed(const ProfileContext& ctx) {
    const int speed = clampPointerSpeed(ctx.host->pointerSpeed.load());
    ctx.host->pointerSpeed.store(speed);
    if (ctx.system != nullptr) {
        ctx.system->setPointerSpeed(speed);
    }
}

void showAndApplyWheelLines(const ProfileContext& ctx) {
    const int lines = clampWheelLines(ctx.host->wheelLines.load());
    ctx.host->wheelLines.store(lines);
    report(ctx, event::WheelLinesShown{lines});
    if (ctx.system != nullptr) {
        ctx.system->setWheelScrollLines(lines);
    }
}

void hideFunctionPanel(const ProfileContext& ctx, DeviceKind device) {
    report(ctx, event::FunctionPanelHidden{device, true});
}

void writeMouseRecord0(const ProfileContext& ctx) {
    if (ctx.links == nullptr) {
        return;
    }
    std::array<uint8_t, kMouseCurrentRecordSize> record{};
    ctx.images->mouse.records.copyOut(0, record);
    (*ctx.links)[DeviceKind::Mouse].WriteRecord(record.data(), kMouseCurrentRecordSize, 0);
}

int writeBank0(const ProfileContext& ctx, DeviceKind kind,
               const std::array<uint8_t, kKeyTableSize>& bank) {
    if (ctx.links == nullptr) {
        return 0;
    }
    DeviceLink& link = (*ctx.links)[kind];
    // The keyboard's bank is its key table: 3 x key count, the block size.
    const uint16_t total = kind == DeviceKind::Mouse
                               ? kMouseBankBytes
                               : std::min<uint16_t>(link.blockSize(), kKeyTableSize);
    return link.WriteBank(bank.data(), total, 0);
}

}  // namespace

int WriteKeyBank0(const ProfileContext& ctx, DeviceKind kind) {
    return writeBank0(ctx, kind, ctx.images->of(kind).banks[0].snapshot());
}

std::vector<uint8_t> buildPayload(const ProfileContext& ctx, const ProfileCatalogue& catalogue) {
    Bytes out;
    out.reserve(catalogue.payloadSize());
    DeviceImages& images = ctx.images->of(catalogue.device());
    switch (catalogue.device()) {
        case DeviceKind::Mouse:
            if (catalogue.kind() != ProfileKind::Lighting) {
                appendImage(out, images.banks[0], 0, payload::kKeyBankBytes);
            }
            if (catalogue.kind() != ProfileKind::Key) {
                appendImage(out, images.records, 0, payload::kStoredRecordBytes);
            }
            break;
        case DeviceKind::Keyboard:
            if (catalogue.kind() != ProfileKind::Lighting) {
                appendImage(out, images.banks[0], 0, payload::kKeyBankBytes);
            }
            if (catalogue.kind() != ProfileKind::Key) {
                appendKeyboardLighting(ctx, out);
            }
            break;
        case DeviceKind::Mousepad:
            appendImage(out, images.records, 0, payload::kStoredRecordBytes);
            break;
    }
    out.resize(catalogue.payloadSize(), 0);
    return out;
}

void applyPayload(const ProfileContext& ctx, const ProfileCatalogue& catalogue,
                  std::span<const uint8_t> bytes) {
    // Callers hand a whole payload; anything shorter reads as zeros past its end.
    Bytes p(catalogue.payloadSize(), 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), p.size()), p.begin());
    const std::span<const uint8_t> all(p);
    DeviceImages& images = ctx.images->of(catalogue.device());

    if (catalogue.kind() == ProfileKind::Key) {
        images.banks[0].copyIn(0, all.first(payload::kKeyBankBytes));
        return;
    }
    std::span<const uint8_t> rest = all;
    if (catalogue.kind() == ProfileKind::Device) {
        images.banks[0].copyIn(0, rest.first(payload::kKeyBankBytes));
        rest = rest.subspan(payload::kKeyBankBytes);
    }
    switch (catalogue.device()) {
        case DeviceKind::Mouse: {
            images.records.copyIn(0, rest.first(payload::kStoredRecordBytes));
            currentFromRecord0(images);
            HostPointerSettings& host = *ctx.host;
            if (catalogue.kind() == ProfileKind::Lighting) {
                host.pointerSpeed.store(clampPointerSpeed(rest[payload::kPointerSpeedByte]));
                host.wheelLines.store(clampWheelLines(rest[payload::kWheelLinesByte]));
            } else if (ctx.system != nullptr) {
                // A device profile leaves the desktop's settings as they are.
                host.pointerSpeed.store(clampPointerSpeed(ctx.system->pointerSpeed()));
                host.wheelLines.store(clampWheelLines(ctx.system->wheelScrollLines()));
            }
            break;
        }
        case DeviceKind::Keyboard:
            loadKeyboardLighting(ctx, rest);
            break;
        case DeviceKind::Mousepad:
            images.records.copyIn(0, rest.first(payload::kStoredRecordBytes));
            currentFromRecord0(images);
            break;
    }
}

int LoadProfileData(const ProfileContext& ctx, const ProfileCatalogue& catalogue, int index) {
    const std::string name = catalogue.ReadName(index);
    const std::optional<std::filesystem::path> file = catalogue.dataFile(name);
    int result = kProfileMissing;
    Bytes buffer(catalogue.payloadSize(), 0);
    if (file) {
        result = ReadProfileFile(*file, buffer);
    } else {
        debugLogf("profile name refused as a file name: %s", name.c_str());
    }
    if (result == kProfileMissing) {
        debugLog("配置文件丢失");
    } else if (result == kProfileBadFormat) {
        debugLog("配置文件格式错误");
    } else {
        applyPayload(ctx, catalogue, buffer);
    }
    return result;
}

bool SaveSelectedProfile(const ProfileContext& ctx, const ProfileCatalogue& catalogue) {
    const std::string name = catalogue.ReadName(catalogue.ReadSelect());
    const std::optional<std::filesystem::path> file = catalogue.dataFile(name);
    if (!file) {
        debugLogf("profile name refused as a file name: %s", name.c_str());
        return false;
    }
    if (holdsStoredRecord(catalogue)) {
        refreshStoredRecord(ctx, catalogue.device());
    }
    return WriteProfileFile(*file, buildPayload(ctx, catalogue), catalogue.kindCode());
}

void ApplyLoadedProfile(const ProfileContext& ctx, const ProfileCatalogue& catalogue) {
    const DeviceKind device = catalogue.device();
    // What WriteBank sends is key bank 0 as the load left it.
    const std::array<uint8_t, kKeyTableSize> bank = ctx.images->of(device).banks[0].snapshot();

    switch (device) {
        case DeviceKind::Mouse:
            if (catalogue.kind() == ProfileKind::Device) {
                showPointerSpeed(ctx);
                applyPointerSpeed(ctx);
                showAndApplyWheelLines(ctx);
                refresh(ctx, Page::MouseMain);
                writeMouseRecord0(ctx);
                markPending(ctx, DeviceKind::Mouse);
                refresh(ctx, Page::MouseKeys);
                writeBank0(ctx, DeviceKind::Mouse, bank);
            } else if (catalogue.kind() == ProfileKind::Lighting) {
                // The slider shows the loaded speed; the speed itself is not
                // applied to the desktop by a lighting profile.
                showPointerSpeed(ctx);
                showAndApplyWheelLines(ctx);
                refresh(ctx, Page::MouseMain);
                markPending(ctx, DeviceKind::Mouse);
            } else {
                hideFunctionPanel(ctx, DeviceKind::Mouse);
                refresh(ctx, Page::MouseKeys);
                writeBank0(ctx, DeviceKind::Mouse, bank);
            }
            break;
        case DeviceKind::Keyboard:
            if (catalogue.kind() == ProfileKind::Device) {
                refresh(ctx, Page::KeyboardLighting);
                markPending(ctx, DeviceKind::Keyboard);
                refresh(ctx, Page::KeyboardKeys);
                writeBank0(ctx, DeviceKind::Keyboard, bank);
            } else if (catalogue.kind() == ProfileKind::Lighting) {
                refresh(ctx, Page::KeyboardLighting);
                markPending(ctx, DeviceKind::Keyboard);
            } else {
                hideFunctionPanel(ctx, DeviceKind::Keyboard);
                refresh(ctx, Page::KeyboardKeys);
                writeBank0(ctx, DeviceKind::Keyboard, bank);
            }
            break;
        case DeviceKind::Mousepad:
            refresh(ctx, Page::MousepadLighting);
            markPending(ctx, DeviceKind::Mousepad);
            break;
    }
}

}  // namespace rxt
