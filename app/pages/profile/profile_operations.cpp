#include "app/pages/profile/profile_operations.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/pages/profile/profile_page_names.h"
#include "app/pages/profile/program_link.h"
#include "app/ui/skin_ui.h"
#include "platform/debug_log.h"
#include "platform/system_pointer.h"
#include "platform/text_case.h"
#include "profile/catalogue_population.h"
#include "profile/profile_file.h"
#include "state/device_links.h"
#include "state/write_back.h"

namespace rxt {
namespace {

using Bytes = std::vector<uint8_t>;

void message(const ProfilePageContext& ctx, std::string_view key) {
    ctx.ui->messageBox("", key, true);
}

bool nameTaken(const ui::SkinUi& ui, std::string_view list, std::string_view name) {
    for (const ui::Item& item : ui.items(list)) {
        if (equalsIgnoreCase(item.text, name)) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> selectedName(const ui::SkinUi& ui, std::string_view list) {
    const int s = ui.currentIndex(list);
    if (s < 0) {
        return std::nullopt;
    }
    auto item = ui.item(list, s);
    if (!item) {
        return std::nullopt;
    }
    return item->text;
}

// Reads a file the user or the program named into a payload, showing why
// when it cannot: "message_text_8" missing, "message_text_9" malformed.
std::optional<Bytes> readShowing(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
                                 const std::optional<std::filesystem::path>& path) {
    Bytes payload(catalogue.payloadSize(), 0);
    const int result = path ? ReadProfileFile(*path, payload) : kProfileMissing;
    if (result == kProfileMissing) {
        message(ctx, kMessageFileMissing);
        return std::nullopt;
    }
    if (result == kProfileBadFormat) {
        message(ctx, kMessageFileBadFormat);
        return std::nullopt;
    }
    return payload;
}

std::optional<Bytes> readDefault(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    return readShowing(ctx, catalogue,
                       DefaultProfileFile(catalogue, ctx.keyboardVariant(), ctx.defaultsFolder));
}

// The entry's data file, or the message that its name cannot be one.
std::optional<std::filesystem::path> dataFileShowing(const ProfilePageContext& ctx,
                                                     const ProfileCatalogue& catalogue,
                                                     std::string_view name) {
    if (auto problem = catalogue.nameProblem(name)) {
        message(ctx, *problem);
        return std::nullopt;
    }
    return catalogue.dataFile(name);
}

// Appends an entry to the list and the catalogue: count, name, no link.
void appendEntry(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
                 std::string_view list, const std::string& name) {
    ctx.ui->addItem(list, {name, name});
    const int n = ctx.ui->itemCount(list);
    catalogue.WriteCount(n);
    catalogue.WriteName(n - 1, name);
    catalogue.WriteLinkFlag(n - 1, false);
}

// The program moves the selection; the select operation follows, as it
// does for the user's own choice.
void selectAndApply(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
                    std::string_view list, int index) {
    if (ctx.ui->setCurrentIndex(list, index)) {
        SelectProfile(ctx, catalogue);
    }
}

void selectLast(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
                std::string_view list) {
    selectAndApply(ctx, catalogue, list, ctx.ui->itemCount(list) - 1);
}

void report(const ProfilePageContext& ctx, const WindowEvent& event) {
    if (ctx.report) {
        ctx.report(event);
    }
}

void refresh(const ProfilePageContext& ctx, Page page) {
    report(ctx, event::PageRefresh{page});
}

void markPending(const ProfilePageContext& ctx, DeviceKind kind) {
    if (ctx.writeBack != nullptr) {
        ctx.writeBack->markPending(kind);
    }
}

// The pointer speed and wheel lines a reset sets, shown and applied.
void resetPointer(const ProfilePageContext& ctx, int sliderFirst, int sliderThen, int wheelLines) {
    report(ctx, event::PointerSliderShown{sliderFirst});
    report(ctx, event::PointerSliderShown{sliderThen});
    ctx.host->pointerSpeed.store(SystemPointer::kDefaultSpeed);
    if (ctx.system != nullptr) {
        ctx.system->setPointerSpeed(SystemPointer::kDefaultSpeed);
    }
    report(ctx, event::WheelLinesShown{wheelLines});
    ctx.host->wheelLines.store(wheelLines);
    if (ctx.system != nullptr) {
        ctx.system->setWheelScrollLines(wheelLines);
    }
}

}  // namespace

void NewProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    std::string name;
    for (int n = 1;; ++n) {
        name = "profile" + std::to_string(n);
        if (!nameTaken(*ctx.ui, c.list, name)) {
            break;
        }
    }
    appendEntry(ctx, catalogue, c.list, name);
    std::error_code ec;
    std::filesystem::remove(*catalogue.dataFile(name), ec);
    const std::filesystem::path file = *catalogue.dataFile(name);
    // Without a default the entry stays, and its first save creates the file.
    const std::optional<Bytes> content = readDefault(ctx, catalogue);
    if (!content) {
        return;
    }
    WriteProfileFile(file, *content, catalogue.kindCode());
    selectLast(ctx, catalogue, c.list);
}

void CopyProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    const std::optional<std::string> source = selectedName(*ctx.ui, c.list);
    if (!source) {
        return;
    }
    std::string name = *source + " copy";
    while (nameTaken(*ctx.ui, c.list, name)) {
        name += " copy";
        debugLog(name);
    }
    const std::optional<std::filesystem::path> target = dataFileShowing(ctx, catalogue, name);
    if (!target) {
        return;
    }
    const std::optional<Bytes> content = readShowing(ctx, catalogue, catalogue.dataFile(*source));
    if (!content) {
        return;
    }
    if (!WriteProfileFile(*target, *content, catalogue.kindCode())) {
        // No entry without the content it was meant to copy.
        debugLogf("profile copy: %s could not be written", target->c_str());
        return;
    }
    appendEntry(ctx, catalogue, c.list, name);
    selectLast(ctx, catalogue, c.list);
}

void RenameProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    const int s = ctx.ui->currentIndex(c.list);
    const std::optional<std::string> old = selectedName(*ctx.ui, c.list);
    if (!old) {
        return;
    }
    const std::string name = ctx.ui->text(c.nameEdit);
    if (name.empty()) {
        message(ctx, kMessageRenameEmpty);
        return;
    }
    if (nameTaken(*ctx.ui, c.list, name)) {
        message(ctx, kMessageRenameTaken);
        return;
    }
    const std::optional<std::filesystem::path> target = dataFileShowing(ctx, catalogue, name);
    if (!target) {
        return;
    }
    const std::optional<std::filesystem::path> source = catalogue.dataFile(*old);
    const std::optional<Bytes> content = readShowing(ctx, catalogue, source);
    if (!content) {
        return;
    }
    catalogue.WriteCount(ctx.ui->itemCount(c.list));
    catalogue.WriteName(s, name);
    if (!WriteProfileFile(*target, *content, catalogue.kindCode())) {
        // The old file is the only copy of the content: keep it and its name.
        catalogue.WriteName(s, *old);
        debugLogf("profile rename: %s could not be written", target->c_str());
        return;
    }
    std::error_code ec;
    std::filesystem::remove(*source, ec);
    ctx.ui->setItem(c.list, s, {name, name});
    ctx.ui->setText(c.nameEdit, name);
    ctx.ui->repaint(c.list);
}

void DeleteProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    const int d = ctx.ui->currentIndex(c.list);
    const std::optional<std::string> name = selectedName(*ctx.ui, c.list);
    if (!name) {
        return;
    }
    if (ctx.ui->itemCount(c.list) == 1) {
        message(ctx, kMessageDeleteLast);
        return;
    }
    if (ctx.ui->messageBox("", kMessageDeleteConfirm, true) != 1) {
        return;
    }
    if (auto file = catalogue.dataFile(*name)) {
        std::error_code ec;
        std::filesystem::remove(*file, ec);
    }
    ctx.ui->removeItem(c.list, d);
    const int n = ctx.ui->itemCount(c.list);
    catalogue.WriteCount(n);
    for (int i = 0; i < n; ++i) {
        const std::optional<ui::Item> item = ctx.ui->item(c.list, i);
        catalogue.WriteName(i, item ? item->text : std::string(kIniDefault));
        if (i >= d) {
            // The later entries move down one key with their links; the
            // last key stays behind, unread beyond the new count.
            catalogue.WriteLinkFlag(i, catalogue.ReadLinkFlag(i + 1) != 0);
            catalogue.WriteProgramPath(i, catalogue.ReadProgramPath(i + 1));
        }
    }
    selectLast(ctx, catalogue, c.list);
}

void ImportProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    // The entry the user saw selected: a watcher may move the selection
    // while the dialog is open.
    int target = ctx.ui->currentIndex(c.list);
    if (target < 0) {
        return;
    }
    const std::optional<std::string> chosen = ctx.ui->openFileDialog(profileFileDialog(catalogue));
    if (!chosen) {
        return;
    }
    if (catalogue.kind() == ProfileKind::Device) {
        NewProfile(ctx, catalogue);
        // The new entry is the target even when its default could not be
        // read and the selection stayed where it was.
        target = ctx.ui->itemCount(c.list) - 1;
    }
    const std::optional<ui::Item> item = ctx.ui->item(c.list, target);
    if (!item) {
        return;
    }
    const std::optional<Bytes> content =
        readShowing(ctx, catalogue, std::filesystem::path(*chosen));
    if (!content) {
        return;
    }
    const std::optional<std::filesystem::path> file = dataFileShowing(ctx, catalogue, item->text);
    if (!file) {
        return;
    }
    WriteProfileFile(*file, *content, catalogue.kindCode());
    // Away to the entry before and back, so that the target is applied again.
    if (target > 0) {
        selectAndApply(ctx, catalogue, c.list, target - 1);
    } else {
        ctx.ui->setCurrentIndex(c.list, -1);
    }
    selectAndApply(ctx, catalogue, c.list, target);
}

void ExportProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    const std::optional<std::string> name = selectedName(*ctx.ui, c.list);
    if (!name) {
        return;
    }
    const std::optional<std::string> chosen =
        ctx.ui->saveFileDialog(profileExportDialog(catalogue, *name));
    if (!chosen) {
        return;
    }
    const std::optional<Bytes> content = readShowing(ctx, catalogue, catalogue.dataFile(*name));
    if (!content) {
        return;
    }
    if (!WriteProfileFileAt(std::filesystem::path(*chosen), *content, catalogue.kindCode())) {
        debugLogf("profile export: %s could not be written", chosen->c_str());
    }
}

void ResetProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const std::optional<Bytes> content = readDefault(ctx, catalogue);
    if (!content) {
        return;
    }
    // A reset takes the pointer values from neither the file nor the
    // desktop: the saves below keep the ones held before it.
    const int speed = ctx.host->pointerSpeed.load();
    const int lines = ctx.host->wheelLines.load();
    applyPayload(ctx, catalogue, *content);
    ctx.host->pointerSpeed.store(speed);
    ctx.host->wheelLines.store(lines);

    const DeviceKind device = catalogue.device();
    SaveSelectedProfile(ctx, catalogue);
    switch (device) {
        case DeviceKind::Mouse:
            if (catalogue.kind() == ProfileKind::Lighting) {
                SaveSelectedProfile(ctx, *ProfileCatalogue::find(device, ProfileKind::Device));
            }
            refresh(ctx, Page::MouseMain);
            refresh(ctx, Page::MouseKeys);
            if (catalogue.kind() == ProfileKind::Device) {
                markPending(ctx, device);
                resetPointer(ctx, 3, 4, 6);
                WriteKeyBank0(ctx, device);
            } else if (catalogue.kind() == ProfileKind::Lighting) {
                markPending(ctx, device);
                resetPointer(ctx, 4, 5, 1);
            } else {
                WriteKeyBank0(ctx, device);
            }
            break;
        case DeviceKind::Keyboard:
            refresh(ctx, Page::KeyboardLighting);
            refresh(ctx, Page::KeyboardKeys);
            if (catalogue.kind() != ProfileKind::Key) {
                markPending(ctx, device);
            }
            if (catalogue.kind() != ProfileKind::Lighting) {
                WriteKeyBank0(ctx, device);
            }
            break;
        case DeviceKind::Mousepad:
            refresh(ctx, Page::MousepadLighting);
            markPending(ctx, device);
            break;
    }
}

void SelectProfile(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    const int index = ctx.ui->currentIndex(c.list);
    const std::optional<std::string> name = selectedName(*ctx.ui, c.list);
    if (!name) {
        return;
    }
    ctx.ui->setText(c.nameEdit, *name);
    catalogue.WriteSelect(index);
    showProgramLink(ctx, catalogue, index);
    LoadProfileData(ctx, catalogue, index);
    ApplyLoadedProfile(ctx, catalogue);
}

bool SelectProfileEntry(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
                        int index) {
    if (ctx.ui == nullptr) {
        return false;
    }
    const std::string_view list = profileControls(catalogue).list;
    if (index < 0 || index >= ctx.ui->itemCount(list)) {
        return false;
    }
    if (ctx.ui->currentIndex(list) != index) {
        selectAndApply(ctx, catalogue, list, index);
    }
    return true;
}

void ToggleRenamePanel(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    if (!c.renamePanel.empty()) {
        ctx.ui->setVisible(c.renamePanel, !ctx.ui->visible(c.renamePanel));
    }
}

}  // namespace rxt
