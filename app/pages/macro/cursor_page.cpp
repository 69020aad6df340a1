#include "app/pages/macro/cursor_page.h"

#include <algorithm>

#include "app/ui/file_dialog.h"
#include "macro/macro_upload.h"
#include "platform/debug_log.h"
#include "platform/folders.h"
#include "platform/ini_file.h"

namespace rxt {
namespace {

// The edit shows the limit once the typed number passed it ("300" shows
// 255); a number still being typed is left as it is.
template <typename T>
T clampedEdit(ui::SkinUi& ui, std::string_view edit, T (*clamp)(std::string_view)) {
    const std::string text = ui.text(edit);
    const T value = clamp(text);
    if (leadingDecimal(text) > static_cast<int>(value)) {
        ui.setText(edit, std::to_string(value));
    }
    return value;
}

}  // namespace

CursorPage::CursorPage(CursorPageContext ctx) : ctx_(std::move(ctx)) {}

void CursorPage::addRoutes(shell::NotifyRouter& r) {
    using ui::Notification;
    namespace n = ui::notify;
    for (int k = 0; k < kCursorSchemes; ++k) {
        r.on(n::kSelectChanged, c_.schemes[static_cast<size_t>(k)],
             [this, k](const Notification& e, int) {
                 if (e.value != 0) {
                     chooseScheme(k);
                 }
             });
    }
    r.onIndexed(n::kSelectChanged, c_.bulletPrefix, [this](const Notification& e, int b) {
        if (e.value != 0) {
            selectBullet(b);
        } else {
            deselectBullet(b);
        }
    });
    auto click = [&](std::string_view name, std::function<void()> fn) {
        r.on(n::kClick, name, [fn](const Notification&, int) { fn(); });
    };
    click(c_.previous, [this] {
        if (bullet_ > 0) {
            selectBullet(bullet_ - 1);
        }
    });
    click(c_.next, [this] {
        if (bullet_ < kCursorBullets - 1) {
            selectBullet(bullet_ + 1);
        }
    });
    click(c_.saveButton, [this] { upload(); });
    click(c_.resetButton, [this] { reset(); });
    click(c_.importButton, [this] { importScheme(); });
    click(c_.exportButton, [this] { exportScheme(); });
    for (std::string_view edit : {c_.delayEdit, c_.xEdit, c_.yEdit}) {
        r.on(n::kTextChanged, edit, [this](const Notification&, int) { storeBullet(); });
    }
    for (std::string_view check : {c_.xCheck, c_.yCheck}) {
        r.on(n::kSelectChanged, check, [this](const Notification&, int) {
            showAxisTexts();
            storeBullet();
        });
    }
}

void CursorPage::setUp() {
    ensureCursorSchemes(catalogue_, ctx_.defaultsFolder);
    ctx_.ui->setChecked(c_.schemes[0], true);
    chooseScheme(0);
}

std::optional<std::filesystem::path> CursorPage::schemeFile() const {
    const std::vector<std::string> names = cursorSchemeNames(catalogue_);
    const std::string name = static_cast<size_t>(scheme_) < names.size()
                                 ? names[static_cast<size_t>(scheme_)]
                                 : cursorSchemeName(scheme_);
    return cursorSchemeFile(catalogue_, name);
}

void CursorPage::chooseScheme(int scheme) {
    scheme_ = std::clamp(scheme, 0, kCursorSchemes - 1);
    selectBullet(0);
}

void CursorPage::selectBullet(int bullet) {
    if (bullet < 0 || bullet >= kCursorBullets) {
        return;
    }
    ui::SkinUi& ui = *ctx_.ui;
    if (bullet != bullet_) {
        ui.setChecked(bulletControl(bullet_), false);
    }
    ui.setChecked(bulletControl(bullet), true);
    bullet_ = bullet;
    selected_ = true;
    ui.setEnabled(c_.editArea, true);
    loadBullet();
}

void CursorPage::deselectBullet(int bullet) {
    // A click on the selected bullet takes the choice back.
    if (bullet == bullet_) {
        selected_ = false;
        ctx_.ui->setEnabled(c_.editArea, false);
    }
}

void CursorPage::loadBullet() {
    ui::SkinUi& ui = *ctx_.ui;
    const std::optional<std::filesystem::path> file = schemeFile();
    // A scheme file too short for the bullet shows zeros; an edit fills it up.
    const BulletValues v = file ? rxt::loadBullet(*file, bullet_) : BulletValues{};
    if (!v.present) {
        debugLog("cursor scheme " + std::to_string(scheme_ + 1) + ": bullet " +
                 std::to_string(bullet_) + " missing, shown as zeros");
    }
    ui.setText(c_.delayEdit, std::to_string(v.delay));
    ui.setText(c_.xEdit, std::to_string(v.x));
    ui.setText(c_.yEdit, std::to_string(v.y));
    ui.setChecked(c_.xCheck, v.left);
    ui.setChecked(c_.yCheck, v.up);
    showAxisTexts();
}

void CursorPage::showAxisTexts() {
    ui::SkinUi& ui = *ctx_.ui;
    // By key, so that a language switch retranslates them.
    ui.setTextKey(c_.xCheck, ui.checked(c_.xCheck) ? kMoveLeftText : kMoveRightText);
    ui.setTextKey(c_.yCheck, ui.checked(c_.yCheck) ? kMoveUpText : kMoveDownText);
}

void CursorPage::storeBullet() {
    if (!selected_) {
        return;
    }
    ui::SkinUi& ui = *ctx_.ui;
    BulletValues v;
    v.delay = clampedEdit(ui, c_.delayEdit, &clampBulletDelay);
    v.x = clampedEdit(ui, c_.xEdit, &clampBulletMove);
    v.y = clampedEdit(ui, c_.yEdit, &clampBulletMove);
    v.left = ui.checked(c_.xCheck);
    v.up = ui.checked(c_.yCheck);
    const std::optional<std::filesystem::path> file = schemeFile();
    if (!file || !saveBullet(*file, bullet_, v)) {
        tell(kMessageSchemeFileFailed);
    }
}

void CursorPage::upload() {
    const UploadResult r = UploadCursorSchemes(*ctx_.mouse, catalogue_);
    if (!r.done()) {
        debugLog("cursor upload not done: " + std::string(r.message()) +
                 (r.command.empty() ? "" : " at " + r.command));
        tell(r.message());
    }
}

void CursorPage::reset() {
    const std::optional<std::filesystem::path> file = schemeFile();
    const SchemeResult r = file ? resetCursorScheme(*file, ctx_.defaultsFolder)
                                : SchemeResult{false, std::string(kMessageSchemeFileFailed)};
    if (!r.done) {
        tell(r.message);
    }
    selectBullet(0);
}

// The open and save dialogs of a scheme file, in the data folder.
static ui::FileDialogOptions schemeDialog(std::string_view titleKey, std::string suggested = {}) {
    return ui::describedFileDialog({std::string(titleKey), "cursor_file_filter_text", "*.cur",
                                    dataFolderPath().string(), std::move(suggested)});
}

void CursorPage::importScheme() {
    ui::SkinUi& ui = *ctx_.ui;
    const std::optional<std::string> chosen =
        ui.openFileDialog(schemeDialog("cursor_import_title"));
    if (!chosen) {
        return;
    }
    const std::optional<std::filesystem::path> file = schemeFile();
    const SchemeResult r = file ? importCursorScheme(*file, std::filesystem::path(*chosen))
                                : SchemeResult{false, std::string(kMessageSchemeFileFailed)};
    if (!r.done) {
        tell(r.message);
        return;
    }
    loadBullet();
}

void CursorPage::exportScheme() {
    ui::SkinUi& ui = *ctx_.ui;
    const std::optional<std::filesystem::path> file = schemeFile();
    if (!file) {
        tell(kMessageSchemeFileFailed);
        return;
    }
    const std::optional<std::string> chosen =
        ui.saveFileDialog(schemeDialog("cursor_export_title", file->filename().string()));
    if (!chosen) {
        return;
    }
    const SchemeResult r = exportCursorScheme(*file, std::filesystem::path(*chosen));
    if (!r.done) {
        tell(r.message);
    }
}

void CursorPage::tell(std::string_view messageKey) {
    ctx_.ui->messageBox("", messageKey, true);
}

}  // namespace rxt
