#include "app/pages/profile/program_link.h"

#include "app/pages/profile/profile_operations.h"
#include "app/pages/profile/profile_page_names.h"
#include "platform/folders.h"

namespace rxt {
namespace {

// The selected entry, or -1.
int selected(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    return ctx.ui->currentIndex(profileControls(catalogue).list);
}

void unlink(const ProfileCatalogue& catalogue, int s) {
    catalogue.WriteLinkFlag(s, false);
    catalogue.WriteProgramPath(s, kNoProgramPath);
}

void clearShown(const ProfilePageContext& ctx, const ProfileControls& c, bool hideRow) {
    ctx.ui->setChecked(c.linkCheck, false);
    ctx.ui->setText(c.linkEdit, kNoProgramPath);
    if (hideRow) {
        ctx.ui->setVisible(c.linkRow, false);
    }
}

void link(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
          const ProfileControls& c, int s, const std::string& path) {
    ctx.ui->setText(c.linkEdit, programFileName(path));
    catalogue.WriteLinkFlag(s, true);
    catalogue.WriteProgramPath(s, path);
    ctx.ui->setChecked(c.linkCheck, true);
    ctx.ui->setVisible(c.linkRow, true);
}

}  // namespace

ui::FileDialogOptions programFileDialog() {
    // Programs have no extension of their own here: any file, from where
    // the installed ones are.
    return ui::describedFileDialog(
        {"dialog_program_title", "filter_programs", "*", std::string(kProgramsFolder), {}});
}

std::string profileFilterKey(const ProfileCatalogue& catalogue) {
    std::string key = "filter_" + catalogue.displayName() + "_profile";
    for (char& c : key) {
        if (c == ' ') {
            c = '_';
        }
    }
    return key;
}

ui::FileDialogOptions profileFileDialog(const ProfileCatalogue& catalogue) {
    return ui::describedFileDialog({"dialog_import_profile_title",
                                    profileFilterKey(catalogue),
                                    "*" + std::string(catalogue.extension()),
                                    dataFolderPath().string(),
                                    {}});
}

ui::FileDialogOptions profileExportDialog(const ProfileCatalogue& catalogue,
                                          std::string_view profileName) {
    const std::string extension(catalogue.extension());
    return ui::describedFileDialog({"dialog_export_profile_title", profileFilterKey(catalogue),
                                    "*" + extension, dataFolderPath().string(),
                                    std::string(profileName) + extension});
}

bool programAlreadyLinked(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
                          std::string_view program) {
    return programAlreadyLinked(catalogue, ctx.ui->itemCount(profileControls(catalogue).list),
                                program);
}

void showProgramLink(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue, int index) {
    const ProfileControls& c = profileControls(catalogue);
    if (catalogue.ReadLinkFlag(index) != 0) {
        // A path stored by hand without a folder is shown as it is.
        ctx.ui->setText(c.linkEdit, programFileName(catalogue.ReadProgramPath(index)));
        ctx.ui->setChecked(c.linkCheck, true);
        ctx.ui->setVisible(c.linkRow, true);
    } else {
        clearShown(ctx, c, false);
    }
}

void LinkCheckChanged(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue,
                      bool checked) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    const int s = selected(ctx, catalogue);
    if (s < 0) {
        // Nothing to link: the box does not stay checked for no entry.
        ctx.ui->setChecked(c.linkCheck, false);
        return;
    }
    if (!checked) {
        ctx.ui->setText(c.linkEdit, kNoProgramPath);
        unlink(catalogue, s);
        return;
    }
    const std::optional<std::string> chosen = ctx.ui->openFileDialog(programFileDialog());
    const std::optional<std::string> path = chosen ? linkablePath(*chosen) : std::nullopt;
    if (chosen && path && programAlreadyLinked(ctx, catalogue, *path)) {
        ctx.ui->messageBox("", kMessageAlreadyLinked, true);
        ctx.ui->setChecked(c.linkCheck, false);
        return;
    }
    if (!path) {
        // Cancelled, or no usable program.
        clearShown(ctx, c, true);
        unlink(catalogue, s);
        return;
    }
    link(ctx, catalogue, c, s, *path);
}

void BrowseLink(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    const int s = selected(ctx, catalogue);
    if (s < 0) {
        return;
    }
    const std::optional<std::string> chosen = ctx.ui->openFileDialog(programFileDialog());
    if (!chosen) {
        return;
    }
    const std::optional<std::string> path = linkablePath(*chosen);
    // Only the device catalogues refuse a program linked already.
    if (path && catalogue.kind() == ProfileKind::Device &&
        programAlreadyLinked(ctx, catalogue, *path)) {
        ctx.ui->messageBox("", kMessageAlreadyLinked, true);
        ctx.ui->setChecked(c.linkCheck, false);
        return;
    }
    if (!path) {
        return;
    }
    link(ctx, catalogue, c, s, *path);
}

void CancelLink(const ProfilePageContext& ctx, const ProfileCatalogue& catalogue) {
    if (ctx.ui == nullptr) {
        return;
    }
    const ProfileControls& c = profileControls(catalogue);
    const int s = selected(ctx, catalogue);
    if (s < 0) {
        return;
    }
    clearShown(ctx, c, false);
    unlink(catalogue, s);
}

}  // namespace rxt
