#include "app/pages/macro/macro_editor_page.h"

#include <algorithm>
#include <filesystem>

#include "app/ui/file_dialog.h"
#include "macro/action_tables.h"
#include "platform/debug_log.h"
#include "platform/folders.h"
#include "platform/ini_file.h"

namespace rxt {

namespace {

constexpr int kPageEmpty = 0;
constexpr int kPageKey = 1;
constexpr int kPageMouse = 2;
constexpr uint16_t kInsertDelay = 50;
constexpr std::string_view kPressMark = "▼";
constexpr std::string_view kReleaseMark = "▲";

MacroAction buttonStep(uint8_t code, uint8_t value, std::string_view name) {
    return {kInsertDelay, code, value, static_cast<uint16_t>(code >> 7), std::string(name)};
}

// left, middle, right, forward, back: press and release steps.
MacroAction insertedButton(size_t button, bool press) {
    switch (button) {
        case 0:
        case 1:
        case 2: {
            // MouseActionTable rows: left 0/1, right 2/3, middle 4/5.
            const size_t base = button == 0 ? 0 : button == 1 ? 4 : 2;
            const MouseActionRow& row = kMouseActionTable[base + (press ? 0 : 1)];
            return buttonStep(row.code, row.value, row.name);
        }
        case 3:
            return buttonStep(press ? 0x81 : 0x01, 0x10, "mouse_key_forward");
        default:
            return buttonStep(press ? 0x81 : 0x01, 0x08, "mouse_key_back");
    }
}

constexpr std::array<size_t, 4> kMoveRows{kMouseMoveRowLeft, kMouseMoveRowRight, kMouseMoveRowUp,
                                          kMouseMoveRowDown};

// The leading digits of an edit's text, saturated at limit; `clamped` when
// the text must be replaced by the limit.
int editNumber(std::string_view text, int limit, bool& clamped) {
    const long n = std::max(0, leadingDecimal(text));
    clamped = n > limit;
    return clamped ? limit : static_cast<int>(n);
}

}  // namespace

MacroEditorPage::MacroEditorPage(const MacroPageControls& controls, MacroPageContext ctx)
    : c_(controls), ctx_(std::move(ctx)), catalogue_(controls.device) {}

int MacroEditorPage::hookMode() const {
    return c_.device == DeviceKind::Mouse ? kHookModeMouseMacro : kHookModeKeyboardMacro;
}

bool MacroEditorPage::editing() const {
    return ctx_.ui->visible(c_.saveOrCancel);
}

bool MacroEditorPage::selectedMacro() const {
    return selected_ >= 0 && static_cast<size_t>(selected_) < names_.size();
}

void MacroEditorPage::addRoutes(shell::NotifyRouter& r) {
    using ui::Notification;
    namespace n = ui::notify;
    auto click = [&](std::string_view name, std::function<void()> fn) {
        r.on(n::kClick, name, [fn](const Notification&, int) { fn(); });
    };
    click(c_.addButton, [this] { addMacro(); });
    click(c_.deleteMacroButton, [this] { deleteMacro(); });
    click(c_.renameButton, [this] { rename(); });
    click(c_.saveButton, [this] { save(); });
    click(c_.cancelButton, [this] { cancel(); });
    click(c_.upButton, [this] { moveStep(ctx_.ui->currentIndex(c_.stepList) - 1); });
    click(c_.downButton, [this] { moveStep(ctx_.ui->currentIndex(c_.stepList) + 1); });
    click(c_.topButton, [this] { moveStep(0); });
    click(c_.bottomButton, [this] { moveStep(ctx_.ui->itemCount(c_.stepList) - 1); });
    click(c_.deleteStepButton, [this] { deleteStep(); });
    click(c_.deleteAllButton, [this] { deleteAllSteps(); });
    click(c_.recordButton, [this] { toggleRecording(); });
    click(c_.importButton, [this] { importMacro(); });
    click(c_.exportButton, [this] { exportMacro(); });
    for (size_t i = 0; i < c_.inserts.size(); ++i) {
        click(c_.inserts[i].button, [this, i] { toggleInsertPanel(i); });
        click(c_.inserts[i].press, [this, i] { insertStep(insertedButton(i, true)); });
        click(c_.inserts[i].release, [this, i] { insertStep(insertedButton(i, false)); });
    }
    for (size_t i = 0; i < c_.moves.size(); ++i) {
        // Distances above 255 are clamped, on screen too (300 once wrapped to 44).
        r.on(n::kTextChanged, c_.moves[i].distanceEdit, [this, i](const Notification&, int) {
            bool clamped = false;
            editNumber(ctx_.ui->text(c_.moves[i].distanceEdit), 255, clamped);
            if (clamped) {
                ctx_.ui->setText(c_.moves[i].distanceEdit, "255");
            }
        });
        click(c_.moves[i].button, [this, i] {
            const MouseActionRow& row = kMouseActionTable[kMoveRows[i]];
            bool clamped = false;
            const auto distance = static_cast<uint8_t>(
                editNumber(ctx_.ui->text(c_.moves[i].distanceEdit), 255, clamped));
            insertStep({kInsertDelay, row.code, distance, static_cast<uint16_t>(row.code >> 7),
                        std::string(row.name)});
        });
    }
    auto select = [&](std::string_view name, std::function<void(int)> fn) {
        r.on(n::kItemSelect, name,
             [fn](const Notification& e, int) { fn(static_cast<int>(e.value)); });
    };
    select(c_.nameList, [this](int i) { selectMacro(i); });
    select(c_.stepList, [this](int i) { selectStep(i); });
    r.on(n::kItemClick, c_.stepList,
         [this](const Notification& e, int) { selectStep(static_cast<int>(e.value)); });
    select(c_.keyCombo, [this](int i) { editKey(i); });
    select(c_.directionCombo, [this](int i) { editDirection(i); });
    select(c_.mouseCombo, [this](int i) { editMouse(i); });
    r.on(n::kTextChanged, c_.keyDelayEdit,
         [this](const Notification&, int) { editDelay(c_.keyDelayEdit); });
    r.on(n::kTextChanged, c_.mouseDelayEdit,
         [this](const Notification&, int) { editDelay(c_.mouseDelayEdit); });
    r.on(n::kTextChanged, c_.distanceEdit, [this](const Notification&, int) { editDistance(); });
    r.on(n::kKillFocus, c_.nameEdit, [this](const Notification&, int) { rename(); });
}

// ---- set-up and the name list ---------------------------------------------------

void MacroEditorPage::setUp() {
    ui::SkinUi& ui = *ctx_.ui;
    ui.clearItems(c_.keyCombo);
    for (size_t r = 0; r < kMacroKeyRows; ++r) {
        ui.addItem(c_.keyCombo, {ui.translate(kKeyTable[r].name), std::string(kKeyTable[r].name)});
    }
    ui.clearItems(c_.directionCombo);
    ui.addItem(c_.directionCombo, {ui.translate("macro_release_text"), "0"});
    ui.addItem(c_.directionCombo, {ui.translate("macro_press_text"), "1"});
    ui.clearItems(c_.mouseCombo);
    for (size_t r = 0; r < kMouseEditorRows; ++r) {
        const MouseActionRow& row = kMouseActionTable[r];
        std::string text = ui.translate(row.name);
        if (r < kMouseButtonRows) {
            text += ' ';
            text += (row.code & kActionDirectionBit) ? kPressMark : kReleaseMark;
        }
        ui.addItem(c_.mouseCombo, {text, std::string(row.name)});
    }
    ui.setVisible(c_.windowOnlyNote, ctx_.hook != nullptr && !ctx_.hook->desktopWide());
    ui.clearItems(c_.nameList);
    names_ = catalogue_.LoadCatalogue();
    for (const std::string& name : names_) {
        ui.addItem(c_.nameList, {name, {}});
    }
    namesChanged();
    if (names_.empty()) {
        selected_ = -1;
        enableEditing(false);
        return;
    }
    enableEditing(true);
    ui.setCurrentIndex(c_.nameList, 0);
    selectMacro(0);
}

void MacroEditorPage::enableEditing(bool enabled) {
    ui::SkinUi& ui = *ctx_.ui;
    for (std::string_view name :
         {c_.deleteMacroButton, c_.renameButton, c_.saveButton, c_.cancelButton, c_.upButton,
          c_.downButton, c_.topButton, c_.bottomButton, c_.deleteStepButton, c_.deleteAllButton,
          c_.recordButton, c_.exportButton, c_.fixedDelayCheck, c_.keyboardCheck, c_.clickCheck,
          c_.wheelCheck, c_.moveCheck, c_.nameEdit}) {
        ui.setEnabled(name, enabled);
    }
    for (const MacroInsertButtonControls& i : c_.inserts) {
        ui.setEnabled(i.button, enabled);
    }
    for (const MacroMoveButtonControls& m : c_.moves) {
        ui.setEnabled(m.button, enabled);
    }
    ui.setAttribute(c_.topButton, kTopButtonImageAttribute,
                    enabled ? kTopButtonEnabledImage : kTopButtonDisabledImage);
}

void MacroEditorPage::showMessage(std::string_view key) {
    if (key == kMessageMacroLimit) {
        // The limit goes into the text's "%d".
        std::string text = ctx_.ui->translate(key);
        if (const size_t at = text.find("%d"); at != std::string::npos) {
            text.replace(at, 2, std::to_string(kMaxMacros));
        }
        ctx_.ui->messageBox("", text, false);
        return;
    }
    ctx_.ui->messageBox("", key, true);
}

void MacroEditorPage::namesChanged() {
    // The key page's macro chooser and key labels follow the catalogue.
    if (ctx_.report) {
        ctx_.report(event::MacroNamesChanged{c_.device});
    }
}

void MacroEditorPage::selectMacro(int index) {
    ui::SkinUi& ui = *ctx_.ui;
    if (editing()) {
        showMessage("message_text_4");
        ui.setCurrentIndex(c_.nameList, selected_);
        return;
    }
    if (index < 0 || static_cast<size_t>(index) >= names_.size()) {
        return;
    }
    selected_ = index;
    renaming_ = true;
    ui.setText(c_.nameEdit, names_[index]);
    renaming_ = false;
    loadSteps();
}

void MacroEditorPage::loadSteps() {
    ctx_.ui->clearItems(c_.stepList);
    if (!selectedMacro()) {
        return;
    }
    const std::vector<MacroAction> steps = LoadMacro(catalogue_, names_[selected_]);
    for (size_t i = 0; i < steps.size(); ++i) {
        insertRow(static_cast<int>(i), steps[i]);
    }
}

void MacroEditorPage::appendName(const std::string& name) {
    ui::SkinUi& ui = *ctx_.ui;
    ui.addItem(c_.nameList, {name, {}});
    selected_ = static_cast<int>(names_.size()) - 1;
    ui.setCurrentIndex(c_.nameList, selected_);
    enableEditing(true);
    selectMacro(selected_);
    namesChanged();
}

void MacroEditorPage::addMacro() {
    if (editing()) {
        showMessage("message_text_3");
        return;
    }
    const MacroResult r = AddMacroName(catalogue_, names_);
    if (!r.done) {
        showMessage(r.message);
        return;
    }
    appendName(names_.back());
}

void MacroEditorPage::deleteMacro() {
    ui::SkinUi& ui = *ctx_.ui;
    if (!selectedMacro()) {
        return;
    }
    if (editing()) {
        showMessage("message_text_3");
        return;
    }
    // The user confirms before any bank entry changes, so a declined delete
    // leaves the keys playing the macros they played.
    auto confirm = [&ui] { return ui.messageBox("", "message_text_4", true) == 1; };
    if (ctx_.prepareDeletion ? !ctx_.prepareDeletion(selected_, confirm) : !confirm()) {
        return;
    }
    const int gone = selected_;
    DeleteMacro(catalogue_, names_, gone);
    ui.removeItem(c_.nameList, gone);
    ui.clearItems(c_.stepList);
    selected_ = -1;
    if (names_.empty()) {
        renaming_ = true;
        ui.setText(c_.nameEdit, "");
        renaming_ = false;
        enableEditing(false);
    } else {
        ui.setCurrentIndex(c_.nameList, 0);
        selectMacro(0);
    }
    namesChanged();
}

void MacroEditorPage::rename() {
    ui::SkinUi& ui = *ctx_.ui;
    if (renaming_ || !selectedMacro()) {
        return;
    }
    renaming_ = true;
    const std::string text = ui.text(c_.nameEdit);
    const RenameResult r = RenameMacro(catalogue_, names_, selected_, text, steps());
    if (r.outcome == RenameOutcome::Refused) {
        showMessage(r.message);
        ui.setText(c_.nameEdit, names_[selected_]);
    } else if (r.outcome == RenameOutcome::Renamed) {
        ui.setItem(c_.nameList, selected_, {names_[selected_], {}});
        namesChanged();
    }
    renaming_ = false;
}

// The shared open and save dialogs: the ".mac" filter, in the data folder.
static ui::FileDialogOptions macroFileDialog(std::string_view titleKey,
                                             std::string suggested = {}) {
    return ui::describedFileDialog({std::string(titleKey), "macro_file_filter_text", "*.mac",
                                    dataFolderPath().string(), std::move(suggested)});
}

void MacroEditorPage::importMacro() {
    ui::SkinUi& ui = *ctx_.ui;
    if (!selectedMacro() && !names_.empty()) {
        return;
    }
    if (editing()) {
        showMessage("message_text_3");
        return;
    }
    if (names_.size() >= static_cast<size_t>(kMaxMacros)) {
        showMessage(kMessageMacroLimit);
        return;
    }
    const std::optional<std::string> chosen =
        ui.openFileDialog(macroFileDialog("macro_import_title"));
    if (!chosen) {
        return;
    }
    const MacroResult r = ImportMacro(catalogue_, names_, std::filesystem::path(*chosen));
    if (!r.done) {
        showMessage(r.message);
        return;
    }
    appendName(names_.back());
}

void MacroEditorPage::exportMacro() {
    ui::SkinUi& ui = *ctx_.ui;
    if (!selectedMacro()) {
        return;
    }
    const std::optional<std::string> chosen =
        ui.saveFileDialog(macroFileDialog("macro_export_title", names_[selected_] + ".mac"));
    if (!chosen) {
        return;
    }
    const MacroResult r =
        ExportMacro(catalogue_, names_[selected_], std::filesystem::path(*chosen));
    if (!r.done) {
        showMessage(r.message);
    }
}

// ---- steps ------------------------------------------------------------------------

std::string MacroEditorPage::rowText(const MacroAction& step) const {
    // Name, direction or distance, delay: three columns.
    std::string text = ctx_.ui->translate(step.name);
    text += '\t';
    if (step.isMove()) {
        text += std::to_string(step.value);
    } else {
        text += step.pressed != 0 ? kPressMark : kReleaseMark;
    }
    text += '\t';
    text += std::to_string(step.delay);
    return text;
}

void MacroEditorPage::setRow(int index, const MacroAction& step) {
    ctx_.ui->setItem(c_.stepList, index, {rowText(step), FormatActionRecord(step)});
}

void MacroEditorPage::insertRow(int index, const MacroAction& step) {
    ctx_.ui->insertItem(c_.stepList, index, {rowText(step), FormatActionRecord(step)});
}

std::vector<MacroAction> MacroEditorPage::steps() const {
    std::vector<MacroAction> out;
    for (const ui::Item& row : ctx_.ui->items(c_.stepList)) {
        if (std::optional<MacroAction> step = parseAction(row.userData)) {
            out.push_back(std::move(*step));
        }
    }
    return out;
}

void MacroEditorPage::enterEditing(bool evenWhenEmpty) {
    ui::SkinUi& ui = *ctx_.ui;
    if (!evenWhenEmpty && ui.itemCount(c_.stepList) == 0) {
        return;
    }
    ui.setVisible(c_.saveOrCancel, true);
    ui.setEnabled(c_.nameList, false);
    ui.setVisible(c_.savedLabel, false);
    ui.setVisible(c_.unsavedLabel, true);
}

void MacroEditorPage::leaveEditing() {
    ui::SkinUi& ui = *ctx_.ui;
    ui.setVisible(c_.saveOrCancel, false);
    ui.setCurrentPage(c_.stepEditor, kPageEmpty);
    ui.setEnabled(c_.deleteMacroButton, true);
    ui.setEnabled(c_.nameList, true);
}

void MacroEditorPage::selectStep(int index) {
    if (recording_ || index < 0 || index >= ctx_.ui->itemCount(c_.stepList)) {
        return;
    }
    enterEditing();
    showStep(index);
}

void MacroEditorPage::showStep(int index) {
    ui::SkinUi& ui = *ctx_.ui;
    const std::optional<ui::Item> row = ui.item(c_.stepList, index);
    const std::optional<MacroAction> step = row ? parseAction(row->userData) : std::nullopt;
    if (!step) {
        return;
    }
    if (step->isMouseStep()) {
        ui.setCurrentPage(c_.stepEditor, kPageMouse);
        const std::optional<size_t> r = mouseRowOfStep(step->code, step->value);
        ui.setCurrentIndex(c_.mouseCombo, r ? static_cast<int>(*r) : -1);
        const bool move = r && *r >= kMouseButtonRows;
        ui.setVisible(c_.distancePanel, move);
        ui.setText(c_.distanceEdit, std::to_string(step->value));
        ui.setText(c_.mouseDelayEdit, std::to_string(step->delay));
    } else {
        ui.setCurrentPage(c_.stepEditor, kPageKey);
        const std::optional<size_t> r = macroKeyRowOfStep(step->kind(), step->value);
        ui.setCurrentIndex(c_.keyCombo, r ? static_cast<int>(*r) : -1);
        ui.setCurrentIndex(c_.directionCombo, step->pressed != 0 ? 1 : 0);
        ui.setText(c_.keyDelayEdit, std::to_string(step->delay));
    }
}

void MacroEditorPage::editSelected(const std::function<void(MacroAction&)>& change) {
    const int index = ctx_.ui->currentIndex(c_.stepList);
    const std::optional<ui::Item> row = ctx_.ui->item(c_.stepList, index);
    std::optional<MacroAction> step = row ? parseAction(row->userData) : std::nullopt;
    if (!step) {
        return;
    }
    change(*step);
    setRow(index, *step);
}

void MacroEditorPage::editKey(int r) {
    if (r < 0 || static_cast<size_t>(r) >= kMacroKeyRows) {
        return;
    }
    editSelected([r](MacroAction& s) {
        const KeyRow& row = kKeyTable[r];
        const uint8_t press = s.pressed != 0 ? kActionDirectionBit : 0;
        if (row.usage != 0) {
            s.code = kActionKey | press;
            s.value = row.usage;
        } else {
            s.code = kActionModifier | press;
            s.value = row.modifier;
        }
        s.name = std::string(row.name);
    });
}

void MacroEditorPage::editDirection(int r) {
    if (r != 0 && r != 1) {
        return;
    }
    editSelected([r](MacroAction& s) {
        s.pressed = static_cast<uint16_t>(r);
        s.code = static_cast<uint8_t>((s.code & 0x7F) | (r != 0 ? kActionDirectionBit : 0));
    });
}

void MacroEditorPage::editMouse(int r) {
    if (r < 0 || static_cast<size_t>(r) >= kMouseEditorRows) {
        return;
    }
    const MouseActionRow& row = kMouseActionTable[r];
    const bool move = static_cast<size_t>(r) >= kMouseButtonRows;
    ctx_.ui->setVisible(c_.distancePanel, move);
    editSelected([&](MacroAction& s) {
        if (!move) {
            s.value = row.value;
            s.code = row.code;
            s.pressed = static_cast<uint16_t>(row.code >> 7);
        } else {
            // A move keeps its distance; a button step becoming one starts at 0.
            if (!s.isMove()) {
                s.value = 0;
            }
            s.code = row.code;
            s.pressed = static_cast<uint16_t>(row.code >> 7);
        }
        s.name = std::string(row.name);
    });
    if (move) {
        const std::optional<ui::Item> item =
            ctx_.ui->item(c_.stepList, ctx_.ui->currentIndex(c_.stepList));
        if (std::optional<MacroAction> s = item ? parseAction(item->userData) : std::nullopt) {
            ctx_.ui->setText(c_.distanceEdit, std::to_string(s->value));
        }
    }
}

void MacroEditorPage::editDelay(std::string_view edit) {
    bool clamped = false;
    const int delay = editNumber(ctx_.ui->text(edit), 65535, clamped);
    if (clamped) {
        ctx_.ui->setText(edit, "65535");
    }
    editSelected([delay](MacroAction& s) { s.delay = static_cast<uint16_t>(delay); });
}

void MacroEditorPage::editDistance() {
    bool clamped = false;
    const int distance = editNumber(ctx_.ui->text(c_.distanceEdit), 255, clamped);
    if (clamped) {
        ctx_.ui->setText(c_.distanceEdit, "255");
    }
    editSelected([distance](MacroAction& s) { s.value = static_cast<uint8_t>(distance); });
}

void MacroEditorPage::toggleInsertPanel(size_t index) {
    ui::SkinUi& ui = *ctx_.ui;
    for (size_t i = 0; i < c_.inserts.size(); ++i) {
        const bool open = i == index && !ui.visible(c_.inserts[i].panel);
        ui.setVisible(c_.inserts[i].panel, open);
    }
}

void MacroEditorPage::insertStep(MacroAction step) {
    ui::SkinUi& ui = *ctx_.ui;
    if (!selectedMacro() || names_.empty() || recording_) {
        return;
    }
    const int count = ui.itemCount(c_.stepList);
    const int selected = ui.currentIndex(c_.stepList);
    const int at = selected >= 0 ? selected : 0;
    insertRow(at, step);
    // The step that was there moves down and stays selected.
    const int keep = count == 0 ? 0 : at + 1;
    ui.setCurrentIndex(c_.stepList, keep);
    enterEditing();
    showStep(keep);
}

void MacroEditorPage::moveStep(int to) {
    ui::SkinUi& ui = *ctx_.ui;
    const int from = ui.currentIndex(c_.stepList);
    const int count = ui.itemCount(c_.stepList);
    if (recording_ || from < 0 || to < 0 || to >= count || to == from) {
        return;
    }
    const std::optional<ui::Item> row = ui.item(c_.stepList, from);
    ui.removeItem(c_.stepList, from);
    ui.insertItem(c_.stepList, to, *row);
    ui.setCurrentIndex(c_.stepList, to);
    enterEditing();
}

void MacroEditorPage::deleteStep() {
    ui::SkinUi& ui = *ctx_.ui;
    const int index = ui.currentIndex(c_.stepList);
    if (recording_ || index < 0) {
        return;
    }
    ui.removeItem(c_.stepList, index);
    ui.setCurrentIndex(c_.stepList, -1);
    ui.setCurrentPage(c_.stepEditor, kPageEmpty);
    enterEditing();
}

void MacroEditorPage::deleteAllSteps() {
    if (recording_) {
        return;
    }
    ctx_.ui->clearItems(c_.stepList);
    ctx_.ui->setCurrentIndex(c_.stepList, -1);
    ctx_.ui->setCurrentPage(c_.stepEditor, kPageEmpty);
}

void MacroEditorPage::save() {
    if (!selectedMacro() || recording_) {
        return;
    }
    const MacroResult r = SaveMacro(catalogue_, names_, selected_, steps());
    if (!r.done && !r.message.empty()) {
        showMessage(r.message);
    }
    leaveEditing();
    ctx_.ui->setVisible(c_.savedLabel, true);
    ctx_.ui->setVisible(c_.unsavedLabel, false);
}

void MacroEditorPage::cancel() {
    if (recording_) {
        return;
    }
    ctx_.ui->clearItems(c_.stepList);
    // A macro added since the catalogue was last written keeps an empty list.
    if (catalogue_.ReadCount() == static_cast<int>(names_.size())) {
        loadSteps();
    }
    leaveEditing();
}

// ---- recording ------------------------------------------------------------------

void MacroEditorPage::toggleRecording() {
    if (recording_) {
        stopRecording();
    } else if (!names_.empty()) {
        startRecording();
    }
}

void MacroEditorPage::startRecording() {
    ui::SkinUi& ui = *ctx_.ui;
    const bool keyboard = ui.checked(c_.keyboardCheck);
    const bool mouse =
        ui.checked(c_.clickCheck) || ui.checked(c_.wheelCheck) || ui.checked(c_.moveCheck);
    if (ctx_.hook == nullptr || !ctx_.hook->Install(hookMode(), keyboard, mouse)) {
        showMessage("message_text_macro_record_failed");
        return;
    }
    enterEditing(true);
    ui.setCurrentPage(c_.stepEditor, kPageEmpty);
    for (std::string_view name :
         {c_.fixedDelayCheck, c_.keyboardCheck, c_.clickCheck, c_.wheelCheck, c_.moveCheck,
          c_.stepList, c_.nameList, c_.saveButton, c_.upButton, c_.downButton, c_.topButton,
          c_.bottomButton, c_.deleteStepButton, c_.deleteAllButton, c_.cancelButton}) {
        ui.setEnabled(name, false);
    }
    recorder_.start();
    recording_ = true;
    ui.setTextKey(c_.recordButton, "macro_btn_stop_redio_text");
}

void MacroEditorPage::stopRecording() {
    ui::SkinUi& ui = *ctx_.ui;
    if (ctx_.hook != nullptr) {
        ctx_.hook->Remove();
    }
    recording_ = false;
    for (std::string_view name :
         {c_.fixedDelayCheck, c_.keyboardCheck, c_.clickCheck, c_.wheelCheck, c_.moveCheck,
          c_.stepList, c_.saveButton, c_.upButton, c_.downButton, c_.topButton, c_.bottomButton,
          c_.deleteStepButton, c_.deleteAllButton, c_.cancelButton}) {
        ui.setEnabled(name, true);
    }
    ui.setTextKey(c_.recordButton, "macro_btn_star_redio_text");
}

void MacroEditorPage::onHook(const HookEvent& e) {
    if (!recording_) {
        return;
    }
    const RecordOptions options{ctx_.ui->checked(c_.fixedDelayCheck),
                                ctx_.ui->checked(c_.clickCheck)};
    std::optional<RecordedStep> recorded;
    if (e.message == hookKeyboardMessage(hookMode())) {
        recorded = recorder_.keyEvent(e, options);
    } else if (e.message == hookMouseMessage(hookMode())) {
        recorded = recorder_.mouseEvent(e, options);
    }
    if (recorded) {
        appendRecorded(*recorded);
    }
}

void MacroEditorPage::appendRecorded(const RecordedStep& recorded) {
    ui::SkinUi& ui = *ctx_.ui;
    const int count = ui.itemCount(c_.stepList);
    if (count > 0) {
        const std::optional<ui::Item> last = ui.item(c_.stepList, count - 1);
        if (std::optional<MacroAction> prev = last ? parseAction(last->userData) : std::nullopt) {
            prev->delay = recorded.previousDelay;
            setRow(count - 1, *prev);
        }
    }
    insertRow(count, recorded.step);
    debugLogf("macro step recorded: %s", FormatActionRecord(recorded.step).c_str());
}

}  // namespace rxt
